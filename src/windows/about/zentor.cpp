#include "windows/about/zentor.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include "platform/platform.h"
#include "version.h"
#include "windows/common/accessibility.h"
#include "windows/common/click_events.h"
#include "windows/common/controls.h"

namespace tumblecast {

namespace {

const QString kRebuke = QStringLiteral("Nice try, credit thief! The authors' names stay where they are.");
const QString kEmail = QStringLiteral("tumblecast@example.org");
const QString kWeb = QStringLiteral("https://tumblecast.example.org");

// The window is laid out for Times New Roman; where it is missing, Liberation Serif has the same metrics.
QFont serifFont(qreal points, bool underline = false)
{
    QFont font(QStringList{QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")});
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(points);
    font.setBold(true);
    font.setUnderline(underline);
    return font;
}

// A panel painted in the button face colour.
QWidget* makePanel(QWidget* parent, const QRect& geometry)
{
    auto* panel = new QWidget(parent);
    panel->setGeometry(geometry);
    panel->setBackgroundRole(QPalette::Button);
    panel->setAutoFillBackground(true);
    return panel;
}

// A disabled panel only stops input: what it holds reads in the window text colour, not greyed out.
void disableKeepingInk(QWidget* panel)
{
    panel->setEnabled(false);
    QPalette palette = panel->palette();
    const QColor ink = palette.color(QPalette::Active, QPalette::WindowText);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, ink);
    panel->setPalette(palette);
}

QLineEdit* makeAddress(QWidget* parent, const QRect& geometry, const QString& text)
{
    auto* field = new QLineEdit(text, parent);
    field->setGeometry(geometry);
    field->setFrame(false);
    // The boxes are narrow for 12-point type: an address keeps its face and steps down in size until it
    // shows whole, rather than being cut off.
    QFont font = serifFont(12, true);
    const int room = geometry.width() - 4;  // the line edit's inner margins
    while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    field->setFont(font);
    field->setCursor(Qt::ArrowCursor);
    field->setCursorPosition(0);
    setBackColor(field, SystemColor::Menu);
    return field;
}

}  // namespace

ImageControl::ImageControl(const QPixmap& pixmap, QWidget* parent) : QWidget(parent), m_pixmap(pixmap) {}

// A label would grey its picture out on the disabled panel.
void ImageControl::paintEvent(QPaintEvent*) { QPainter(this).drawPixmap(0, 0, m_pixmap); }

const QString& zentor::creditText()
{
    static const QString credit = QStringLiteral("by the Tumblecast authors");
    return credit;
}

// A tool window with no decorations: no title bar, no task bar entry; the fixed frame is drawn here, so
// it looks the same under every window manager (and under none).
zentor::zentor(Platform& platform, QWidget* parent)
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint), m_platform(platform)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameStyle(QFrame::WinPanel | QFrame::Raised);
    const int frame = frameWidth();
    const QRect client(frame, frame, twips(3840), twips(2535));
    setFixedSize(client.width() + 2 * frame, client.height() + 2 * frame);

    // The background panel is a pixel wider than the client area, which cuts it off.
    Picture1 =
        named(makePanel(this, twipsRect(0, 0, 3855, 2535).translated(client.topLeft()).intersected(client)),
              "Picture1");
    // Siblings are created bottom first: Move2, Move1, then the credit line over Move2's top strip.
    buildLowerPanel();
    buildUpperPanel();

    Text2 = named(new QLineEdit(creditText(), Picture1), "Text2");
    Text2->setGeometry(twipsRect(360, 1320, 3135, 285));
    Text2->setFrame(false);
    Text2->setAlignment(Qt::AlignCenter);
    Text2->setFont(serifFont(12));
    setBackColor(Text2, SystemColor::ButtonFace);
    connect(Text2, &QLineEdit::textChanged, this, &zentor::Text2_Change);
    Text2->setFocus();

    // Disabled panels and what is on them get no mouse events of their own: Qt hands a click on them to the
    // first ancestor that takes it, so the innermost panel takes the click and the outer ones never see it.
    connect(new ClickEvents(Picture1, ClickEvents::Mouse::Take), &ClickEvents::click, this,
            &zentor::Picture1_Click);
    connect(new ClickEvents(Move1, ClickEvents::Mouse::Take), &ClickEvents::click, this,
            &zentor::Move1_Click);
    connect(new ClickEvents(Move2, ClickEvents::Mouse::Take), &ClickEvents::click, this,
            &zentor::Move2_Click);
    connect(new ClickEvents(this), &ClickEvents::click, this, &zentor::Form_Click);

    // No caption shows, but a screen reader still announces what the window is.
    exposeAs(this, QAccessible::Dialog);
    setAccessibleName(QStringLiteral("About Tumblecast"));
    Text2->setAccessibleName(QStringLiteral("Credit"));
    Text1->setAccessibleName(QStringLiteral("E-mail"));
    Text3->setAccessibleName(QStringLiteral("Web address"));
    centreOnScreen(this);
}

void zentor::buildUpperPanel()
{
    Move1 = named(makePanel(Picture1, twipsRect(240, 0, 3375, 1095)), "Move1");
    disableKeepingInk(Move1);

    Image1 = named(new ImageControl(QPixmap(QStringLiteral(":/zentor.gif")), Move1), "Image1");
    Image1->setGeometry(twipsRect(1320, 0, 825, 825));

    // The panel's bottom edge cuts the label's lower part off; the caption sits high enough to show whole.
    Label1 = named(new QLabel(QStringLiteral("Tumblecast ") + QLatin1String(kVersion), Move1), "Label1");
    Label1->setGeometry(twipsRect(120, 840, 3135, 375));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(serifFont(14.25));
}

void zentor::buildLowerPanel()
{
    Move2 = named(makePanel(Picture1, twipsRect(360, 1320, 3135, 1095)), "Move2");
    disableKeepingInk(Move2);

    Text3 = named(makeAddress(Move2, twipsRect(0, 720, 3135, 285), kWeb), "Text3");
    Text1 = named(makeAddress(Move2, twipsRect(1080, 360, 1695, 285), kEmail), "Text1");
    Label6 = named(new QLabel(QStringLiteral("E-mail: "), Move2), "Label6");
    Label6->setGeometry(twipsRect(360, 360, 765, 255));
    Label6->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label6->setFont(serifFont(11.25));
}

void zentor::Form_Click() { unload(); }
void zentor::Picture1_Click() { unload(); }
void zentor::Move1_Click() { unload(); }
void zentor::Move2_Click() { unload(); }

// Every edit is undone at once. Putting the credit back runs this again, nested; that run finds the credit
// and changes nothing more. Only emptying the line earns the rebuke.
void zentor::Text2_Change()
{
    if (!Text2->text().isEmpty())
        Text2->setText(creditText());
    else
        m_platform.message(kRebuke);
    Text2->setText(creditText());
}

// With no title bar and no close box, Escape is the keyboard's way out.
void zentor::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        unload();
    else
        QFrame::keyPressEvent(event);
}

void zentor::unload() { close(); }

}  // namespace tumblecast
