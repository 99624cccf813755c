#include "app/Dialogs.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

template <class W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* DialogButton(QDialog* dialog, const char* name, const QString& caption,
                          QRect geometry) {
    auto* button = Named(new QPushButton(caption, dialog), name);
    button->setAutoDefault(false);
    button->setGeometry(geometry);
    return button;
}

// Enter presses the button that has the focus, as on Windows; in a text box it does nothing,
// for neither dialog has a default button.
bool EnterOnFocusedButton(QDialog& dialog, QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    if (auto* button = qobject_cast<QPushButton*>(dialog.focusWidget()))
        button->click();
    event->accept();
    return true;
}

} // namespace

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("置換"));
    setFixedSize(218, 117);
    // A dialog does not inherit its owner's font: the search and replacement texts need the
    // window's fonts, in which full-width and half-width forms look different.
    setFont(parent ? parent->font() : font());
    auto* label1 = new QLabel(QStringLiteral("検索文字列"), this);
    label1->setGeometry(12, 14, 80, 16);
    Edit1 = Named(new QLineEdit(this), "Edit1");
    Edit1->setGeometry(88, 11, 121, 21);
    auto* label2 = new QLabel(QStringLiteral("置換文字列"), this);
    label2->setGeometry(12, 45, 80, 16);
    Edit2 = Named(new QLineEdit(this), "Edit2");
    Edit2->setGeometry(88, 42, 121, 21);
    Button1 = DialogButton(this, "Button1", QStringLiteral("実行"), {40, 80, 75, 25});
    Button2 = DialogButton(this, "Button2", QStringLiteral("中止"), {128, 80, 75, 25});
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Button1);
    setTabOrder(Button1, Button2);
}

void TForm3::keyPressEvent(QKeyEvent* event) {
    if (EnterOnFocusedButton(*this, event))
        return;
    if (event->key() == Qt::Key_Escape)
        event->accept();
    else
        QDialog::keyPressEvent(event);
}

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("逆算"));
    setFixedSize(224, 183);
    QFont font = parent ? parent->font() : this->font();
    font.setPixelSize(11);
    setFont(font);
    const char* checkNames[] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5"};
    const char* editNames[] = {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5"};
    const QString captions[] = {QStringLiteral("全幅"), QStringLiteral("全高"),
                                QStringLiteral("列幅"), QStringLiteral("行高"),
                                QStringLiteral("文字高")};
    QCheckBox* checks[5];
    QLineEdit* edits[5];
    for (int k = 0; k < 5; ++k) {
        checks[k] = Named(new QCheckBox(captions[k], this), checkNames[k]);
        checks[k]->setGeometry(16, 12 + k * 26, 90, 21);
        edits[k] = Named(new QLineEdit(this), editNames[k]);
        edits[k]->setGeometry(112, 12 + k * 26, 96, 21);
        edits[k]->setAlignment(Qt::AlignRight);
    }
    CheckBox1 = checks[0], CheckBox2 = checks[1], CheckBox3 = checks[2];
    CheckBox4 = checks[3], CheckBox5 = checks[4];
    Edit1 = edits[0], Edit2 = edits[1], Edit3 = edits[2], Edit4 = edits[3], Edit5 = edits[4];
    CheckBox3->setEnabled(false);
    Edit3->setEnabled(false);
    Button1 = DialogButton(this, "Button1", QStringLiteral("実行"), {32, 148, 75, 25});
    Button2 = DialogButton(this, "Button2", QStringLiteral("中止"), {120, 148, 75, 25});
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    connect(CheckBox1, &QCheckBox::toggled, this, &TForm4::CheckBox1Click);
    connect(CheckBox2, &QCheckBox::toggled, this, &TForm4::CheckBox2Click);
    connect(CheckBox3, &QCheckBox::toggled, this, &TForm4::CheckBox3Click);
    connect(CheckBox4, &QCheckBox::toggled, this, &TForm4::CheckBox4Click);
    connect(Edit1, &QLineEdit::textChanged, this, &TForm4::Edit1Change);
    connect(Edit2, &QLineEdit::textChanged, this, &TForm4::Edit2Change);
    connect(Edit3, &QLineEdit::textChanged, this, &TForm4::Edit3Change);
    connect(Edit4, &QLineEdit::textChanged, this, &TForm4::Edit4Change);
    connect(Edit5, &QLineEdit::textChanged, this, &TForm4::Edit5Change);
}

void TForm4::keyPressEvent(QKeyEvent* event) {
    if (!EnterOnFocusedButton(*this, event))
        QDialog::keyPressEvent(event);
}

std::array<QCheckBox*, 5> TForm4::CheckBoxes() const {
    return {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5};
}

std::array<QLineEdit*, 5> TForm4::Edits() const {
    return {Edit1, Edit2, Edit3, Edit4, Edit5};
}

void TForm4::CheckBox1Click() {
    if (CheckBox1->isChecked())
        CheckBox3->setChecked(false);
}

void TForm4::CheckBox2Click() {
    if (CheckBox2->isChecked())
        CheckBox4->setChecked(false);
}

void TForm4::CheckBox3Click() {
    if (CheckBox3->isChecked())
        CheckBox1->setChecked(false);
}

void TForm4::CheckBox4Click() {
    if (CheckBox4->isChecked())
        CheckBox2->setChecked(false);
}

void TForm4::Edit1Change() {
    CheckBox1->setChecked(true);
    CheckBox3->setChecked(false);
}

void TForm4::Edit2Change() {
    CheckBox2->setChecked(true);
    CheckBox4->setChecked(false);
}

void TForm4::Edit3Change() {
    CheckBox3->setChecked(true);
    CheckBox1->setChecked(false);
}

void TForm4::Edit4Change() {
    CheckBox4->setChecked(true);
    CheckBox2->setChecked(false);
}

void TForm4::Edit5Change() {
    CheckBox5->setChecked(true);
}
