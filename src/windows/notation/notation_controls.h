#pragma once

class QComboBox;
class QDialog;
class QLabel;
class QPushButton;

namespace tumblecast {

// The controls of the Roll notation window, laid out by setup().
struct NotationControls {
    QLabel* ExpressionLabel = nullptr;
    QComboBox* Expression = nullptr;  // editable; its list holds the recent rolls
    QLabel* Meaning = nullptr;        // the roll in words
    QLabel* Marker = nullptr;         // the roll as typed, with the place of a fault marked below it
    QLabel* Problem = nullptr;        // why the roll was refused, in words
    QPushButton* Roll = nullptr;      // the default button
    QPushButton* Close = nullptr;

    void setup(QDialog* window);
};

}  // namespace tumblecast
