#include "windows/notation/notation_controls.h"

#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "notation/limits.h"
#include "profile/recent_rolls.h"
#include "windows/common/accessibility.h"
#include "windows/common/controls.h"

namespace tumblecast {

namespace {

QLabel* label(QDialog* window, const char* name)
{
    auto* label = new QLabel(window);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

void NotationControls::setup(QDialog* window)
{
    window->setObjectName(QStringLiteral("NotationWindow"));
    window->setWindowTitle(QStringLiteral("Roll notation"));
    window->setWindowIcon(QIcon(QStringLiteral(":/tumblecast.ico")));
    window->setFont(dialogFont());

    Expression = new QComboBox(window);
    Expression->setObjectName(QStringLiteral("Expression"));
    Expression->setEditable(true);
    // The window keeps the list itself: newest first, each roll once.
    Expression->setInsertPolicy(QComboBox::NoInsert);
    Expression->setMaxCount(kRecentRolls);
    Expression->setMinimumContentsLength(24);
    Expression->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Expression->lineEdit()->setMaxLength(static_cast<int>(notation::kMaxLength));
    Expression->lineEdit()->setPlaceholderText(QStringLiteral("2d20kh1+5"));
    Expression->setAccessibleName(QStringLiteral("Notation"));
    Expression->lineEdit()->setAccessibleName(QStringLiteral("Notation"));

    ExpressionLabel = new QLabel(QStringLiteral("&Notation:"), window);
    ExpressionLabel->setObjectName(QStringLiteral("ExpressionLabel"));
    ExpressionLabel->setBuddy(Expression);

    Meaning = label(window, "Meaning");
    Marker = label(window, "Marker");
    Marker->setWordWrap(false);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(dialogFont().pointSize());
    Marker->setFont(fixed);
    // The problem below says the same in words; a column of blanks and carets reads as noise.
    hideFromAssistiveTechnology(Marker);
    Problem = label(window, "Problem");
    exposeAs(Problem, QAccessible::AlertMessage);
    Marker->hide();
    Problem->hide();

    Roll = new QPushButton(QStringLiteral("&Roll"), window);
    Roll->setObjectName(QStringLiteral("Roll"));
    Roll->setDefault(true);
    Close = new QPushButton(QStringLiteral("Close"), window);
    Close->setObjectName(QStringLiteral("Close"));
    Close->setAutoDefault(false);

    auto* grid = new QGridLayout(window);
    grid->addWidget(ExpressionLabel, 0, 0);
    grid->addWidget(Expression, 0, 1);
    grid->addWidget(Roll, 0, 2);
    grid->addWidget(Meaning, 1, 1);
    grid->addWidget(Close, 1, 2, Qt::AlignTop);
    grid->addWidget(Marker, 2, 1);
    grid->addWidget(Problem, 3, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);

    QWidget::setTabOrder(Expression, Roll);
    QWidget::setTabOrder(Roll, Close);
}

}  // namespace tumblecast
