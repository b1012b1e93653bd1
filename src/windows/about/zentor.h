#pragma once

#include <QFrame>
#include <QPixmap>

class QLabel;
class QLineEdit;

namespace tumblecast {

class Platform;

// A picture control: shows its image at its own size, in full colour even on a disabled panel.
class ImageControl : public QWidget {
public:
    ImageControl(const QPixmap& pixmap, QWidget* parent);
    const QPixmap& pixmap() const { return m_pixmap; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_pixmap;
};

// The about window: name, version, emblem, the credit line and the maker's addresses. A click anywhere
// but the credit line closes it, and it deletes itself when it closes, so each opening starts afresh.
// The credit line puts itself back after every edit.
class zentor : public QFrame {
    Q_OBJECT
public:
    explicit zentor(Platform& platform, QWidget* parent = nullptr);

    // The one piece of state: what the credit line always shows.
    static const QString& creditText();

public slots:
    void Form_Click();
    void Picture1_Click();
    void Move1_Click();
    void Move2_Click();
    void Text2_Change();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildUpperPanel();
    void buildLowerPanel();
    void unload();

    Platform& m_platform;

    // The controls, reached from outside by their object names only.
    QWidget* Picture1 = nullptr;  // background panel
    QLineEdit* Text2 = nullptr;   // credit line, the only control that takes input
    QWidget* Move1 = nullptr;     // upper panel, disabled
    QLabel* Label1 = nullptr;
    ImageControl* Image1 = nullptr;
    QWidget* Move2 = nullptr;  // lower panel, disabled; its top strip lies under Text2
    QLabel* Label6 = nullptr;
    QLineEdit* Text1 = nullptr;  // e-mail address
    QLineEdit* Text3 = nullptr;  // web address
};

}  // namespace tumblecast
