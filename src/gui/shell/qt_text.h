#pragma once
// Conversions between the program's own text types and Qt's.
//
// Texts of the program (messages, record fields) are UTF-16 and map one to
// one onto QString. File-system paths are byte strings on Linux; they go
// through QFile's name codec so that a name that is not valid UTF-8 still
// names the same file after a round trip.

#include <QFile>
#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

namespace qlx::gui {

inline QString toQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

inline std::u16string toU16(const QString& text)
{
    return text.toStdU16String();
}

// The text of a QString as a view, without a copy; valid while the QString
// lives unchanged.
inline std::u16string_view u16View(const QString& text)
{
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

inline QString pathToQString(const std::filesystem::path& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

inline std::filesystem::path pathFromQString(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

} // namespace qlx::gui
