#include "windows/notation/notation_window.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include <variant>

#include "notation/describe.h"
#include "notation/parser.h"
#include "platform/platform.h"
#include "profile/recent_rolls.h"
#include "windows/common/accessibility.h"
#include "windows/common/controls.h"

namespace tumblecast {

namespace {

// The marked stretch of a long roll: enough to see the fault among its neighbours.
constexpr qsizetype kMarkerContext = 30;

QString qs(const std::string& text) { return QString::fromStdString(text); }

// The parser counts bytes of UTF-8; the field counts UTF-16 units.
qsizetype unitsIn(const QByteArray& utf8, std::size_t from, std::size_t bytes)
{
    return QString::fromUtf8(utf8.mid(static_cast<qsizetype>(from), static_cast<qsizetype>(bytes))).size();
}

}  // namespace

NotationWindow::NotationWindow(Platform& platform, RollHandler roll, QWidget* parent)
    : QDialog(parent), m_platform(platform), m_roll(std::move(roll))
{
    setup(this);
    setAttribute(Qt::WA_DeleteOnClose);
    exposeAs(this, QAccessible::Dialog);
    connect(Roll, &QPushButton::clicked, this, &NotationWindow::Roll_Click);
    connect(Close, &QPushButton::clicked, this, &QDialog::close);
    connect(Expression, &QComboBox::editTextChanged, this, &NotationWindow::Expression_Change);
    auto* statistics = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_I), this);
    connect(statistics, &QShortcut::activated, this, &NotationWindow::statisticsRequested);
    const QStringList recent = ReadRecentRolls(m_platform.executableDir());
    // The last roll is offered again, selected: Enter rolls it, typing replaces it.
    fillList(recent, recent.value(0));
    Expression_Change();
}

void NotationWindow::fillList(const QStringList& rolls, const QString& text)
{
    const QSignalBlocker quiet(Expression);
    Expression->clear();
    Expression->addItems(rolls);
    Expression->setCurrentIndex(-1);
    Expression->setEditText(text);
    Expression->lineEdit()->selectAll();
}

// As the player types: the meaning of what reads as a roll. Why a roll does not read waits for Roll: half a
// roll is no slip, and a screen reader would announce one at every key.
void NotationWindow::Expression_Change()
{
    hideProblem();
    Meaning->clear();
    const QString text = Expression->currentText();
    if (text.trimmed().isEmpty()) return;
    const notation::Parsed parsed = notation::parse(text.toStdString());
    if (const auto* expression = std::get_if<notation::Expression>(&parsed))
        Meaning->setText(qs(notation::describe(*expression)));
    describeField(Meaning->text());
}

void NotationWindow::Roll_Click()
{
    const QString text = Expression->currentText();
    notation::Parsed parsed = notation::parse(text.toStdString());
    if (const auto* problem = std::get_if<notation::Diagnostic>(&parsed)) {
        showProblem(*problem, text);
        return;
    }
    if (!m_roll(std::get<notation::Expression>(parsed))) return;
    const RememberedRolls remembered = RememberRoll(m_platform.executableDir(), text.trimmed());
    fillList(remembered.rolls, text);
    if (remembered.error) {
        // The roll is shown; only the list could not be kept. Said here, not in a box over the roll.
        setProblem(cannotWrite(remembered.error->path, remembered.error->reason));
        alert();
    }
}

// Where the roll stops making sense: the roll with the place underlined by carets, and why in words; the
// fault is selected, so that typing replaces it, and a screen reader is told at once.
void NotationWindow::showProblem(const notation::Diagnostic& problem, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    const qsizetype column = unitsIn(utf8, 0, problem.column);
    const qsizetype length = std::max<qsizetype>(unitsIn(utf8, problem.column, problem.length), 1);
    // A stretch of a long roll around the fault, and no more of a long fault than fits.
    const qsizetype from = std::max<qsizetype>(column - kMarkerContext, 0);
    const qsizetype marked = std::min<qsizetype>(length, 2 * kMarkerContext);
    const qsizetype to = std::min<qsizetype>(text.size(), column + marked + kMarkerContext);
    const QString before = from > 0 ? QStringLiteral("...") : QString();
    const QString after = to < text.size() ? QStringLiteral("...") : QString();
    Marker->setText(before + text.mid(from, to - from) + after + QLatin1Char('\n') +
                    QString(before.size() + column - from, QLatin1Char(' ')) +
                    QString(marked, QLatin1Char('^')));

    QString where = QStringLiteral("at the end");
    if (column < text.size())
        where = length <= kMarkerContext
                    ? QStringLiteral("at character %1: \"%2\"").arg(column + 1).arg(text.mid(column, length))
                    : QStringLiteral("at characters %1 to %2").arg(column + 1).arg(column + length);
    const QString message = qs(problem.message) + QStringLiteral(" (") + where + QLatin1Char(')');
    setProblem(message);
    describeField(message);
    Marker->show();
    alert();
    Expression->setFocus();
    Expression->lineEdit()->setSelection(static_cast<int>(column), static_cast<int>(length));
}

// The alert's role gives it no text of its own: its name carries the words.
void NotationWindow::setProblem(const QString& message)
{
    Problem->setText(message);
    Problem->setAccessibleName(message);
    Problem->show();
}

// Shown afresh, so that a screen reader presents the alert even when the same words were there.
void NotationWindow::alert()
{
    Problem->hide();
    Problem->show();
    QAccessibleEvent event(Problem, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
}

void NotationWindow::hideProblem()
{
    Marker->hide();
    Problem->hide();
    Problem->clear();
    Problem->setAccessibleName(QString());
}

// The field is read with what it means, or with why it is refused.
void NotationWindow::describeField(const QString& words)
{
    Expression->setAccessibleDescription(words);
    Expression->lineEdit()->setAccessibleDescription(words);
}

}  // namespace tumblecast
