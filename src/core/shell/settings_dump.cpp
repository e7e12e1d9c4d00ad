#include "shell/settings_dump.h"

#include <QString>

#include <cstdio>
#include <sstream>

namespace qlx::settings {

namespace {

std::string utf8(std::u16string_view text)
{
    std::string raw = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toStdString();
    std::string escaped;
    for (char c : raw) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\') {
            escaped += "\\\\";
        } else if (c == '\n') {
            escaped += "\\n";
        } else if (c == '\t') {
            escaped += "\\t";
        } else if (u < 0x20) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", u);
            escaped += hex;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

} // namespace

std::string formatField(const SettingsRecord& record, const FieldInfo& field)
{
    std::ostringstream out;
    const auto bytes = record.bytes();
    switch (field.type) {
    case FieldType::U8:
        out << static_cast<unsigned>(io::loadLe<std::uint8_t>(bytes, field.offset));
        break;
    case FieldType::I32:
        out << io::loadLe<std::int32_t>(bytes, field.offset);
        break;
    case FieldType::U32: {
        const auto value = io::loadLe<std::uint32_t>(bytes, field.offset);
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08X", value);
        out << value << " (" << hex << ")";
        break;
    }
    case FieldType::I64:
        out << io::loadLe<std::int64_t>(bytes, field.offset);
        break;
    case FieldType::F32:
        out << io::loadLe<float>(bytes, field.offset);
        break;
    case FieldType::Utf16:
        out << utf8(io::loadUtf16(bytes, {field.offset, field.count}));
        break;
    case FieldType::U8Array:
        for (std::size_t i = 0; i < field.count; ++i)
            out << (i ? "," : "") << static_cast<unsigned>(io::loadLe<std::uint8_t>(bytes, field.offset + i));
        break;
    case FieldType::I32Array:
        for (std::size_t i = 0; i < field.count; ++i)
            out << (i ? "," : "") << io::loadLe<std::int32_t>(bytes, field.offset + 4 * i);
        break;
    case FieldType::Utf16Array: {
        const std::size_t entries = field.size / (field.count * 2);
        bool first = true;
        for (std::size_t i = 0; i < entries; ++i) {
            const auto text = io::loadUtf16(bytes, {field.offset + i * field.count * 2, field.count});
            if (text.empty())
                continue;
            out << (first ? "" : " ") << "[" << i << "]=" << utf8(text);
            first = false;
        }
        break;
    }
    case FieldType::Bytes: {
        std::size_t nonZero = 0;
        for (std::size_t i = 0; i < field.size; ++i)
            nonZero += bytes[field.offset + i] != std::byte{0};
        out << field.size << " bytes, " << nonZero << " non-zero";
        break;
    }
    }
    return out.str();
}

void dumpSettings(const SettingsRecord& record, std::ostream& out)
{
    for (const auto& field : kFields)
        out << field.name << '\t' << formatField(record, field) << '\n';
}

} // namespace qlx::settings
