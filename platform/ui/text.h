// The texts of the screens are single-byte (Latin-1): a character's code is its byte value.
#pragma once

#include <QString>
#include <string>

namespace keytut::ui {

QString qText(const std::string& text);
std::string stdText(const QString& text);
// As qText(), with Windows' CR LF line ends made the LF the widgets want.
QString displayText(const std::string& text);

}  // namespace keytut::ui
