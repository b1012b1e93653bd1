#include "windows/main/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include <algorithm>
#include <new>

#include "engine/roll_run.h"
#include "platform/platform.h"
#include "windows/common/check_box.h"
#include "windows/common/command_button.h"
#include "windows/common/controls.h"
#include "windows/common/text_box.h"
#include "windows/common/vali_text.h"
#include "windows/main/result_box.h"

namespace tumblecast {

namespace {

constexpr int kFieldLeft = 1320;
constexpr int kFieldWidth = 975;
constexpr int kFieldHeight = 285;
constexpr int kCommandLeft = 240;
constexpr int kCommandWidth = 1935;
constexpr int kCommandHeight = 375;
constexpr int kSmallButton = 255;
constexpr int kBottomRow = 4270;

QGroupBox* makeFrame(QWidget* parent, const QString& caption, int left, int width)
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setGeometry(twipsRect(left, 0, width, 4695));
    return frame;
}

CommandButton* makeButton(QWidget* parent, const QString& caption, const QRect& geometry)
{
    auto* button = new CommandButton(caption, parent);
    button->setGeometry(geometry);
    return button;
}

// A text "below 0" sorts before "0" by character code: the empty text, or one that starts with a blank,
// a sign, a point or any other character below the digits.
bool isDigits(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool isBelowZero(const QString& text) { return text.isEmpty() || text.at(0).unicode() < u'0'; }

std::string toStd(const QString& text) { return text.toStdString(); }

}  // namespace

// Shows a run as it happens: its record goes into the result box, its dice into the progress bar.
class Form1::RunView final : public RollObserver {
public:
    explicit RunView(Form1& form) : m_form(form) { m_tick.start(); }

    void expect(std::uint64_t times) { m_times = times; }

    void repetitionStarted(std::uint64_t dice) override
    {
        m_form.ProgressBar1->setMaximum(static_cast<int>(dice));
        m_form.setBusy(true);
        m_dice = dice;
        m_diceSoFar = 0;
    }
    void append(std::string_view text) override { m_form.Text1->append(text); }
    void dieRolled(std::uint64_t diceSoFar) override
    {
        m_diceSoFar = diceSoFar;
        // The bar repaints at once whenever its value changes, so it is only told a few dozen times a
        // second. A repetition is over in a millisecond, far too soon for its own count to be seen; the
        // bar shows the whole run instead, on the same scale, and fills once from start to end.
        if ((diceSoFar & 63) == 0 && m_tick.elapsed() >= 25) {
            m_form.ProgressBar1->setValue(static_cast<int>((m_done * m_dice + diceSoFar) / m_times));
            m_tick.restart();
        }
    }
    void repetitionFinished() override { ++m_done; }

    // Where the current repetition got to.
    void showReached() { m_form.ProgressBar1->setValue(static_cast<int>(m_diceSoFar)); }

private:
    Form1& m_form;
    QElapsedTimer m_tick;
    std::uint64_t m_times = 1;
    std::uint64_t m_done = 0;
    std::uint64_t m_dice = 0;
    std::uint64_t m_diceSoFar = 0;
};

Form1::Form1(Platform& platform, RandomSource& dice, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_platform(platform),
      m_dice(dice)
{
    setWindowTitle(QStringLiteral("Tumblecast"));
    setWindowIcon(QIcon(QStringLiteral(":/tumblecast.ico")));
    setFont(dialogFont());
    setFixedSize(twips(6510), twips(4725));

    // Stacked first to last from the bottom up, so Frame1 covers the scratch field under it.
    Text12 = new TextBox(this);
    Text12->setGeometry(twipsRect(120, 240, 495, 285));
    Text12->hide();
    TextHelp = new TextBox(this);
    TextHelp->setText(QStringLiteral("Text7"));
    TextHelp->hide();

    buildResultFrame();
    buildRollerFrame();
    buildSlotsFrame();
    setTabOrder();
    wireFields();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area(QPoint(), size());
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }
    Text1->setFocus();
}

Form1::~Form1() { setBusy(false); }

void Form1::buildResultFrame()
{
    Frame1 = makeFrame(this, QStringLiteral("Result"), 10, 2415);
    Text1 = new ResultBox(Frame1);
    Text1->setGeometry(twipsRect(120, 240, 2175, 4365));
    connect(Text1, &ResultBox::changed, this, &Form1::Text1_Change);
    connect(Text1, &ResultBox::copyRequested, this,
            [this](const QString& text) { m_platform.setClipboardText(text); });
}

TextBox* Form1::makeField(QWidget* parent, int top, int maxLength, const QString& tooltip)
{
    auto* field = new TextBox(parent);
    field->setGeometry(twipsRect(kFieldLeft, top, kFieldWidth, kFieldHeight));
    field->setMaxLength(maxLength);
    field->setToolTip(tooltip);
    setBackColor(field, SystemColor::WindowBackground);
    return field;
}

CheckBox* Form1::makeSwitch(QWidget* parent, int top, const QString& caption)
{
    auto* box = new CheckBox(caption, parent);
    box->setGeometry(twipsRect(120, top, 1215, 255));
    return box;
}

void Form1::buildRollerFrame()
{
    Frame2 = makeFrame(this, QStringLiteral("Dice Roller"), 2530, 2415);

    // The two field labels are grey-ticked check boxes on a disabled panel, so they cannot be changed.
    Picture1 = new QWidget(Frame2);
    Picture1->setGeometry(twipsRect(120, 240, 1215, 615));
    Picture1->setEnabled(false);
    Check5 = new CheckBox(QStringLiteral("Dice:"), Picture1);
    Check5->setGeometry(twipsRect(0, 0, 1215, 255));
    Check5->setValue(2);
    Check4 = new CheckBox(QStringLiteral("Sides:"), Picture1);
    Check4->setGeometry(twipsRect(0, 360, 1215, 255));
    Check4->setValue(2);
    for (CheckBox* label : {Check5, Check4}) {
        // Only the tick is greyed; the caption reads like any other label.
        QPalette palette = label->palette();
        palette.setColor(QPalette::Disabled, QPalette::WindowText,
                         palette.color(QPalette::Active, QPalette::WindowText));
        palette.setColor(QPalette::Disabled, QPalette::ButtonText,
                         palette.color(QPalette::Active, QPalette::ButtonText));
        label->setPalette(palette);
    }

    Text2 = makeField(Frame2, 240, 4, QStringLiteral("Enter how many dice to roll"));
    Text2->setText(QStringLiteral("0"));
    Text3 = makeField(Frame2, 600, 6, QStringLiteral("Enter how many sides the dice has"));
    Text3->setText(QStringLiteral("0"));
    Check1 = makeSwitch(Frame2, 960, QStringLiteral("Modify:"));
    Text4 = makeField(Frame2, 960, 6, QStringLiteral("Enter a value to add to each dice"));
    Check2 = makeSwitch(Frame2, 1320, QStringLiteral("Modify total:"));
    Text5 = makeField(Frame2, 1320, 6, QStringLiteral("Enter a value to add to the total sum"));
    Check3 = makeSwitch(Frame2, 1680, QStringLiteral("Roll X times:"));
    Text6 = makeField(Frame2, 1680, 4, QStringLiteral("Enter how many time to repet the roll"));
    for (TextBox* off : {Text4, Text5, Text6}) {
        off->setEnabled(false);
        setBackColor(off, SystemColor::ButtonFace);
    }

    Line1 = makeLine(Frame2, 120, 2280, 2040);
    Command4 = makeButton(Frame2, QStringLiteral("&Generate"),
                          twipsRect(kCommandLeft, 2160, kCommandWidth, kCommandHeight));
    Command2 = makeButton(Frame2, QStringLiteral("C&lear"),
                          twipsRect(kCommandLeft, 2640, kCommandWidth, kCommandHeight));
    Command1 = makeButton(Frame2, QStringLiteral("Export to &text"),
                          twipsRect(kCommandLeft, 3120, kCommandWidth, kCommandHeight));
    Command3 = makeButton(Frame2, QStringLiteral("&Close"),
                          twipsRect(kCommandLeft, 3600, kCommandWidth, kCommandHeight));
    Line4 = makeLine(Frame2, 120, 2280, 4080);

    Command6 =
        makeButton(Frame2, QStringLiteral("C"), twipsRect(120, kBottomRow, kSmallButton, kSmallButton));
    Command6->setToolTip(QStringLiteral("Copy selected text to clipboard"));
    Command6->setEnabled(false);
    ProgressBar1 = new QProgressBar(Frame2);
    ProgressBar1->setGeometry(twipsRect(390, kBottomRow, 1335, 255));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    Command5 =
        makeButton(Frame2, QStringLiteral("?"), twipsRect(1750, kBottomRow, kSmallButton, kSmallButton));
    Command5->setToolTip(QStringLiteral("About"));
    QFont bold = Command5->font();
    bold.setBold(true);
    Command5->setFont(bold);
    Check6 = new ButtonCheckBox(QStringLiteral("&D"), Frame2);
    Check6->setGeometry(twipsRect(2040, kBottomRow, kSmallButton, kSmallButton));
    Check6->setToolTip(QStringLiteral("Quick Slots ON/OFF"));
    Check6->setValue(1);

    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
}

CommandButton* Form1::makeSlotRow(int top, QLabel*& label, const QString& caption)
{
    label = new QLabel(caption, Frame3);
    label->setGeometry(twipsRect(480, top, 855, 255));
    return makeButton(Frame3, QString(), twipsRect(120, top, kSmallButton, kSmallButton));
}

void Form1::buildSlotsFrame()
{
    Frame3 = makeFrame(this, QStringLiteral("Quick Slots"), 5050, 1455);
    Option1 = makeSlotRow(240, Label3, QStringLiteral("1D2"));
    Option2 = makeSlotRow(480, Label4, QStringLiteral("1D4"));
    Option3 = makeSlotRow(720, Label5, QStringLiteral("1D6"));
    Option4 = makeSlotRow(960, Label6, QStringLiteral("1D8"));
    Option5 = makeSlotRow(1200, Label7, QStringLiteral("1D10"));
    Option6 = makeSlotRow(1440, Label8, QStringLiteral("1D12"));
    Option7 = makeSlotRow(1680, Label9, QStringLiteral("1D20"));
    Option8 = makeSlotRow(1920, Label10, QStringLiteral("1D100"));
    Line3 = makeLine(Frame3, 120, 1320, 2280);
    Option15 = makeSlotRow(2400, Label1, QStringLiteral("3D6"));
    Option9 = makeSlotRow(2640, Label11, QStringLiteral("1D6+1"));
    Option10 = makeSlotRow(2880, Label12, QStringLiteral("2D4"));
    Line2 = makeLine(Frame3, 120, 1320, 3240);
    Option11 = makeSlotRow(3360, Label13, QStringLiteral("Slot1"));
    Option12 = makeSlotRow(3600, Label14, QStringLiteral("Slot2"));
    Option13 = makeSlotRow(3840, Label15, QStringLiteral("Slot3"));
    Option14 = makeSlotRow(4080, Label16, QStringLiteral("Slot4"));
    Option17 = makeSlotRow(4320, Label17, QStringLiteral("Slot5"));
    for (CommandButton* slot : {Option11, Option12, Option13, Option14, Option17}) slot->setEnabled(false);
}

void Form1::setTabOrder()
{
    const QWidget* const order[] = {Text1,    Check1,   Check2,   Text2,    Text3,    Text4,    Text5,
                                    Text6,    Command4, Command2, Command1, Command3, Check6,   Option1,
                                    Option2,  Option3,  Option4,  Option5,  Option6,  Option7,  Option8,
                                    Option14, Option10, Option9,  Option11, Option12, Option13, Command5,
                                    Option15, Text12,   Option17, Check3,   Command6};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
}

void Form1::wireFields()
{
    struct Handlers {
        TextBox* field;
        void (Form1::*change)();
        void (Form1::*keyPress)(int&);
        void (Form1::*gotFocus)();
        void (Form1::*dblClick)();
    };
    const Handlers fields[] = {
        {Text2, &Form1::Text2_Change, &Form1::Text2_KeyPress, &Form1::Text2_GotFocus, &Form1::Text2_DblClick},
        {Text3, &Form1::Text3_Change, &Form1::Text3_KeyPress, &Form1::Text3_GotFocus, &Form1::Text3_DblClick},
        {Text4, &Form1::Text4_Change, &Form1::Text4_KeyPress, &Form1::Text4_GotFocus, &Form1::Text4_DblClick},
        {Text5, &Form1::Text5_Change, &Form1::Text5_KeyPress, &Form1::Text5_GotFocus, &Form1::Text5_DblClick},
        {Text6, &Form1::Text6_Change, &Form1::Text6_KeyPress, &Form1::Text6_GotFocus, &Form1::Text6_DblClick},
    };
    for (const Handlers& h : fields) {
        connect(h.field, &QLineEdit::textChanged, this, h.change);
        h.field->setKeyPress([this, keyPress = h.keyPress](int& keyAscii) { (this->*keyPress)(keyAscii); });
        connect(h.field, &TextBox::gotFocus, this, h.gotFocus);
        connect(h.field, &TextBox::dblClick, this, h.dblClick);
    }
    connect(Check1, &QCheckBox::stateChanged, this, &Form1::Check1_Click);
    connect(Check2, &QCheckBox::stateChanged, this, &Form1::Check2_Click);
    connect(Check3, &QCheckBox::stateChanged, this, &Form1::Check3_Click);
}

// ---- Numeric fields ----

void Form1::Text2_KeyPress(int& keyAscii) { keyAscii = ValiText(keyAscii, kDigits, true, m_platform); }
void Form1::Text3_KeyPress(int& keyAscii) { keyAscii = ValiText(keyAscii, kDigits, true, m_platform); }
void Form1::Text4_KeyPress(int& keyAscii) { keyAscii = ValiText(keyAscii, kDigits, true, m_platform); }
void Form1::Text5_KeyPress(int& keyAscii) { keyAscii = ValiText(keyAscii, kDigits, true, m_platform); }
void Form1::Text6_KeyPress(int& keyAscii) { keyAscii = ValiText(keyAscii, kDigits, true, m_platform); }

// Every step reads the field again: a text set here has already run this rule once more, nested.
void Form1::ruleA(TextBox* field)
{
    if (field->text().isEmpty()) field->setText(QStringLiteral("0"));
    if (isBelowZero(field->text())) field->setText(QStringLiteral("0"));
    // A text that is not all digits (only pasting brings one) stays for Generate to refuse.
    const QString text = field->text();
    if (isDigits(text) && text.toULongLong() > 999998) field->setText(QStringLiteral("999998"));
}

void Form1::ruleB(TextBox* field)
{
    if (isBelowZero(field->text())) field->setText(QString());
}

void Form1::ruleC(TextBox* field)
{
    if (field->text().isEmpty()) field->setText(QStringLiteral("0"));
    if (isBelowZero(field->text())) field->setText(QString());
}

void Form1::Text2_Change() { ruleA(Text2); }
void Form1::Text3_Change() { ruleA(Text3); }
void Form1::Text4_Change() { ruleB(Text4); }
void Form1::Text5_Change() { ruleB(Text5); }
void Form1::Text6_Change() { ruleC(Text6); }

void Form1::selectContent(TextBox* field) { field->setSelection(0, field->maxLength()); }

void Form1::Text2_GotFocus() { selectContent(Text2); }
void Form1::Text3_GotFocus() { selectContent(Text3); }
void Form1::Text4_GotFocus() { selectContent(Text4); }
void Form1::Text5_GotFocus() { selectContent(Text5); }
void Form1::Text6_GotFocus() { selectContent(Text6); }
void Form1::Text2_DblClick() { selectContent(Text2); }
void Form1::Text3_DblClick() { selectContent(Text3); }
void Form1::Text4_DblClick() { selectContent(Text4); }
void Form1::Text5_DblClick() { selectContent(Text5); }
void Form1::Text6_DblClick() { selectContent(Text6); }

// The field is emptied before it is switched, so its change rule still sees the old state.
void Form1::switchField(CheckBox* box, TextBox* field)
{
    switch (box->value()) {
        case 1:
            field->setText(QString());
            field->setEnabled(true);
            setBackColor(field, SystemColor::WindowBackground);
            field->setFocus(Qt::OtherFocusReason);
            break;
        case 0:
            field->setText(QString());
            field->setEnabled(false);
            setBackColor(field, SystemColor::ButtonFace);
            break;
        default:
            break;
    }
}

void Form1::Check1_Click() { switchField(Check1, Text4); }
void Form1::Check2_Click() { switchField(Check2, Text5); }
void Form1::Check3_Click() { switchField(Check3, Text6); }

// ---- Generate ----

RollFields Form1::fields() const
{
    return {toStd(Text2->text()), toStd(Text3->text()), Text4->isEnabled(), toStd(Text4->text()),
            Text5->isEnabled(),   toStd(Text5->text()), Text6->isEnabled(), toStd(Text6->text())};
}

// Deletes leading zeros through the field's own selection, so that its change rule runs after each one.
// Six passes strip a field of the longest text any field takes.
void Form1::stripLeadingZeros(TextBox* field)
{
    for (int pass = 0; pass < 6; ++pass) {
        field->setSelection(0, 1);
        if (field->selectedText() == QLatin1String("0")) field->insert(QString());
    }
}

// The repeat count a run uses: the repeat field's text while it is switched on and holds one.
QString Form1::repeatCount() const
{
    return !Text6->isEnabled() || Text6->text().isEmpty() ? QStringLiteral("1") : Text6->text();
}

void Form1::Command4_Click()
{
    RunView view(*this);
    try {
        Text1->clear();
        const RollFields entered = fields();
        if (const auto failed = firstFailedCheck(entered)) {
            m_platform.message(QString::fromUtf8(failed->data(), static_cast<qsizetype>(failed->size())));
            setBusy(false);
            return;
        }
        const bool perDie = Check1->value() == 1;
        // Stripping zeros would turn pasted text such as "0.5" into a number; refuse it as it stands.
        readRequest(entered, perDie, toStd(repeatCount()));

        stripLeadingZeros(Text2);
        stripLeadingZeros(Text3);
        for (TextBox* field : {Text4, Text5, Text6})
            if (field->isEnabled()) stripLeadingZeros(field);
        Text12->setText(repeatCount());

        const RollRequest request = readRequest(fields(), perDie, toStd(Text12->text()));
        view.expect(request.times);
        runRoll(request, m_dice, view);
        // Busy from a repetition's first die to its total; nothing can look at the pointer between two
        // repetitions, so it goes back to the arrow once, here.
        setBusy(false);
        ProgressBar1->setValue(0);
    } catch (const std::bad_alloc&) {
        fail(view, QStringLiteral("Out of memory"));
    } catch (const std::exception& failure) {
        fail(view, QString::fromUtf8(failure.what()));
    }
}

// Whatever the run wrote stays, and the bar shows how far it got.
void Form1::fail(RunView& view, const QString& description)
{
    setBusy(false);
    view.showReached();
    m_platform.message(description);
}

void Form1::setBusy(bool busy)
{
    setCursor(busy ? Qt::WaitCursor : Qt::ArrowCursor);
    // The window's own pointer does not reach the text boxes, which keep theirs; the override does.
    if (busy != m_overrideCursor) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
        m_overrideCursor = busy;
    }
}

// ---- Result box ----

void Form1::Text1_Change() { Command6->setEnabled(!Text1->isEmpty()); }

// ---- Life cycle ----

void Form1::Command3_Click() { m_platform.endProgram(); }

void Form1::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void Form1::Form_Unload() { m_platform.endProgram(); }

}  // namespace tumblecast
