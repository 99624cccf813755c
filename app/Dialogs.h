// The replace dialog and the reverse-calculation dialog, created once and reused.
#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;

class TForm3 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm3(QWidget* parent);
    QLineEdit* Edit1; // search text
    QLineEdit* Edit2; // replacement text
    QPushButton* Button1;
    QPushButton* Button2;

  protected:
    // Neither button is the default or the cancel button: Enter in a box and Escape keep it
    // open.
    void keyPressEvent(QKeyEvent* event) override;
};

class TForm4 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm4(QWidget* parent);
    QCheckBox* CheckBox1; // 全幅
    QCheckBox* CheckBox2; // 全高
    QCheckBox* CheckBox3; // 列幅 (disabled)
    QCheckBox* CheckBox4; // 行高
    QCheckBox* CheckBox5; // 文字高
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QLineEdit* Edit5;
    QPushButton* Button1;
    QPushButton* Button2;

    // Row k of the dialog (0 全幅 … 4 文字高).
    std::array<QCheckBox*, 5> CheckBoxes() const;
    std::array<QLineEdit*, 5> Edits() const;

    // A total and its per-item counterpart never drive one scale together.
    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox4Click();
    void Edit1Change();
    void Edit2Change();
    void Edit3Change();
    void Edit4Change();
    void Edit5Change();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};
