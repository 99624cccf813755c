// Small helpers that the main window's files share.
#pragma once

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QString>

#include <filesystem>
#include <string>

namespace window {

inline const QString kMessageCaption = QStringLiteral("メッセージ");

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

inline std::filesystem::path BesideExecutable(const char* extension) {
    std::filesystem::path path(QCoreApplication::applicationFilePath().toStdU16String());
    return path.replace_extension(extension);
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
