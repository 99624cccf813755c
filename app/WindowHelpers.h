// Small helpers that the main window's files share.
#pragma once

#include "model/Error.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSize>
#include <QString>

#include <exception>
#include <new>
#include <string>

namespace window {

inline const QString kMessageCaption = QStringLiteral("メッセージ");

// The window's client size at its first start, and its smallest.
inline constexpr QSize kDesignSize(432, 288);

// The reason to show for a failure: the error's Japanese text.
inline QString ReasonText(const std::exception& e) {
    if (const auto* error = dynamic_cast<const sheetlift::Error*>(&e))
        return QString::fromStdString(ErrorText(*error, sheetlift::Language::Japanese));
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return QStringLiteral("メモリが足りません");
    // Not one of ours: a fault of the program, worth its own words in a bug report.
    return QStringLiteral("予期しないエラーです: ") + QString::fromLocal8Bit(e.what());
}

inline char DecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 128 ? char(point[0].unicode()) : '.';
}

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

inline std::string S(const QString& text) {
    return text.toStdString();
}

template <class W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

inline QLabel* PlaceLabel(QWidget* parent, const QString& text, int x, int y,
                          const char* name = "") {
    auto* label = Named(new QLabel(text, parent), name);
    label->move(x, y);
    label->adjustSize();
    return label;
}

inline QLineEdit* NumberBox(QWidget* parent, const char* name, QRect geometry) {
    auto* box = Named(new QLineEdit(parent), name);
    box->setGeometry(geometry);
    box->setAlignment(Qt::AlignRight);
    return box;
}

} // namespace window
