#include "metadata/value_format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cinttypes>
#include <cstdarg>
#include <cstdio>

namespace qlx::metadata {

namespace {

constexpr std::array<std::uint8_t, 14> kTypeSizes{0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};

std::string unsignedRational(std::uint32_t n, std::uint32_t d, RationalMode mode)
{
    if (d == 0)
        return {};
    if (n == 0)
        return "0";
    if (d == 1 || n % d == 0)
        return printfText("%" PRIu32, n / d);
    if (mode == RationalMode::Decimal)
        return printfText("%.1f", static_cast<double>(n) / d);
    if (d % n != 0)
        return printfText("%" PRIu32 "/%" PRIu32, n, d);
    return printfText("1/%" PRIu32, d / n);
}

std::string signedRational(std::int32_t numerator, std::int32_t denominator, RationalMode mode)
{
    // 64-bit so that INT32_MIN / -1 stays defined.
    const std::int64_t n = numerator;
    const std::int64_t d = denominator;
    if (d == 0)
        return {};
    if (n == 0)
        return "0";
    if (d == 1 || n % d == 0)
        return printfText("%" PRId64, n / d);
    if (mode == RationalMode::Decimal)
        return printfText("%.2f", static_cast<double>(n) / static_cast<double>(d));
    return printfText("%1.1f", static_cast<double>(static_cast<float>(n) / static_cast<float>(d)));
}

struct Rational {
    std::uint32_t n = 0;
    std::uint32_t d = 0;
};

Rational readRational(io::ByteReader& value, std::uint64_t offset)
{
    const auto order = value.byteOrder();
    return {value.readAt<std::uint32_t>(offset, order), value.readAt<std::uint32_t>(offset + 4, order)};
}

} // namespace

std::string printfText(const char* pattern, ...)
{
    // Large enough for "%f" of the largest double (309 digits and the fraction).
    char buffer[512];
    va_list args;
    va_start(args, pattern);
    const int length = std::vsnprintf(buffer, sizeof buffer, pattern, args);
    va_end(args);
    if (length <= 0)
        return {};
    return std::string(buffer, std::min<std::size_t>(static_cast<std::size_t>(length), sizeof buffer - 1));
}

std::uint32_t typeSize(std::uint32_t type)
{
    return type < kTypeSizes.size() ? kTypeSizes[type] : 0;
}

std::string decimalLine(std::uint64_t value)
{
    return printfText("%" PRIu64 "\n", value);
}

std::string formatElement(io::ByteReader& value, std::uint64_t offset, std::uint16_t type, RationalMode mode)
{
    const auto order = value.byteOrder();
    switch (type) {
    case kTypeByte:
    case kTypeUndefined:
        return printfText("%d", value.readAt<std::uint8_t>(offset, order));
    case kTypeShort:
        return printfText("%d", value.readAt<std::uint16_t>(offset, order));
    case kTypeLong:
        // Written unsigned: these are offsets and lengths, never negative.
        return printfText("%" PRIu32, value.readAt<std::uint32_t>(offset, order));
    case kTypeRational: {
        const Rational r = readRational(value, offset);
        return unsignedRational(r.n, r.d, mode);
    }
    case kTypeSByte:
        return printfText("%d", value.readAt<std::int8_t>(offset, order));
    case kTypeSShort:
        return printfText("%d", value.readAt<std::int16_t>(offset, order));
    case kTypeSLong:
        return printfText("%" PRId32, value.readAt<std::int32_t>(offset, order));
    case kTypeSRational:
        return signedRational(value.readAt<std::int32_t>(offset, order),
                              value.readAt<std::int32_t>(offset + 4, order), mode);
    case kTypeFloat:
        return printfText("%f", static_cast<double>(std::bit_cast<float>(value.readAt<std::uint32_t>(offset, order))));
    case kTypeDouble:
        return printfText("%f", std::bit_cast<double>(value.readAt<std::uint64_t>(offset, order)));
    default:
        return {};
    }
}

std::string formatExposureTime(FormatInput& input)
{
    const Rational r = readRational(input.value, 0);
    const auto n = static_cast<std::int32_t>(r.n);
    const auto d = static_cast<std::int32_t>(r.d);
    // A zero denominator is no time at all; a zero numerator would make the
    // reciprocal infinite, so it is written as the plain 0.0 it is.
    if (d == 0)
        return "\n";
    if (n != 0 && n < d) {
        const double t = static_cast<double>(d) / n;
        return t < 3.0 ? printfText("1/%0.1f\n", t) : printfText("1/%0.0f\n", t);
    }
    return printfText("%0.1f\n", static_cast<double>(n) / d);
}

std::string formatFNumber(FormatInput& input)
{
    return "F" + formatElement(input.value, 0, input.type, RationalMode::Decimal) + "\n";
}

std::string formatBias(FormatInput& input)
{
    const auto n = input.value.readAt<std::int32_t>(0, input.value.byteOrder());
    const auto d = input.value.readAt<std::int32_t>(4, input.value.byteOrder());
    if (d == 0)
        return "\n"; // no value rather than an infinite one
    const float v = static_cast<float>(n) / static_cast<float>(d);
    if (v == 0.0f)
        return "\x81\x7D" "0\n"; // "±0": the plus-minus sign is 81 7D in code page 932
    // |v| <= 2^31, so v * 10 fits a 64-bit integer.
    const auto tenths = static_cast<std::int64_t>(v * 10.0f);
    const double shown = v;
    if (tenths % 10 != 0)
        return v > 0 ? printfText("+%1.1f\n", shown) : printfText("%1.1f\n", shown);
    return v > 0 ? printfText("+%1.0f\n", shown) : printfText("%1.0f\n", shown);
}

std::string formatFlash(FormatInput& input)
{
    return (input.value.readAt<std::uint16_t>(0, input.value.byteOrder()) & 1) != 0 ? "On\n" : "Off\n";
}

std::string formatFocalLength(FormatInput& input)
{
    const Rational r = readRational(input.value, 0);
    if (r.d == 0)
        return "\n";
    return printfText("%1.0fmm\n", static_cast<double>(r.n) / r.d);
}

std::string formatVersion(FormatInput& input)
{
    std::string text;
    for (std::uint32_t i = 0; i < input.count && input.value.holds(i, 1); ++i) {
        const auto c = static_cast<char>(input.value.readAt<std::uint8_t>(i, io::ByteOrder::Little));
        if (c == '\0')
            break; // a zero byte ends the text
        text.push_back(c);
    }
    return text + "\n";
}

std::string formatOrientation(FormatInput& input)
{
    const char letter = input.pass->byteOrder == io::ByteOrder::Little ? 'I' : 'M';
    return formatElement(input.value, 0, input.type, RationalMode::Decimal) +
           printfText("\nFlip%c%" PRIu64 "\n", letter, input.valueFileOffset);
}

std::string formatThumbnailOffset(FormatInput& input)
{
    const std::uint64_t value = input.value.readAt<std::uint32_t>(0, input.value.byteOrder());
    return decimalLine(value + input.pass->thumbnailShift + input.pass->tiffBase);
}

std::string formatNikonOffset(FormatInput& input)
{
    const std::uint64_t value = input.value.readAt<std::uint32_t>(0, input.value.byteOrder());
    return decimalLine(value + input.pass->nikonPreviewBase);
}

} // namespace qlx::metadata
