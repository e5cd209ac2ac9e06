// The report's formatter: printf-style wide (UTF-16) format strings whose
// conversions are checked against the argument types at compile time.
//
// Why our own: the platform's wide printf converts text through the locale's
// code page and silently drops the rest of a line at the first character it
// cannot convert; runtimes disagree on whether %s or %S is the wide string;
// and our formats are literals, so the compiler can check every one.
//
// Conversions: %d (32-bit integer, signed decimal), %s (UTF-16 text),
// %S (byte text), %.Nx and %.NX (32-bit unsigned, at least N lower- or
// uppercase hex digits), %% (a percent sign). Format text is ASCII. A format
// that is not, or whose conversions do not match its arguments, does not
// compile.
//
// Text arguments given as arrays are read only within the array, even when no
// terminator comes; text given as a pointer is read up to its terminator, and
// a std::u16string_view within its length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>

enum class ConversionKind : std::uint8_t { Invalid, Percent, Decimal, Text, Bytes, LowerHex, UpperHex };

// One conversion of a format: what it prints, and for hex its digit count.
struct Conversion {
    ConversionKind kind = ConversionKind::Invalid;
    std::uint8_t minDigits = 0;  // the N of %.Nx and %.NX
};

// Parses the conversion that starts right after a '%'. Returns the position
// after it; on an invalid conversion, `conversion.kind` stays Invalid.
constexpr const char16_t* ParseConversion(const char16_t* at, Conversion& conversion) {
    conversion = Conversion{};
    switch (*at) {
    case u'%': conversion.kind = ConversionKind::Percent; return at + 1;
    case u'd': conversion.kind = ConversionKind::Decimal; return at + 1;
    case u's': conversion.kind = ConversionKind::Text; return at + 1;
    case u'S': conversion.kind = ConversionKind::Bytes; return at + 1;
    case u'.': break;
    default: return at;
    }
    const char16_t* p = at + 1;
    unsigned digits = 0;
    bool any = false;
    while (*p >= u'0' && *p <= u'9' && digits <= 99) {
        digits = digits * 10 + static_cast<unsigned>(*p - u'0');
        any = true;
        ++p;
    }
    if (!any || digits > 99 || (*p != u'x' && *p != u'X')) return at;
    conversion.kind = *p == u'x' ? ConversionKind::LowerHex : ConversionKind::UpperHex;
    conversion.minDigits = static_cast<std::uint8_t>(digits);
    return p + 1;
}

// What an argument type can be printed as.
enum class ArgClass : std::uint8_t { Unsupported, Signed, Unsigned, Utf16Text, WideText, ByteText };

template <typename T>
constexpr ArgClass ClassOfArg() {
    using U = std::remove_cvref_t<T>;
    if constexpr (std::is_same_v<U, std::u16string_view>) {
        return ArgClass::Utf16Text;
    } else if constexpr (std::is_array_v<U> || std::is_pointer_v<U>) {
        using E = std::remove_cv_t<std::conditional_t<std::is_array_v<U>, std::remove_extent_t<U>,
                                                      std::remove_pointer_t<U>>>;
        if constexpr (std::is_same_v<E, char16_t>) return ArgClass::Utf16Text;
        else if constexpr (std::is_same_v<E, wchar_t> && sizeof(wchar_t) == 2) return ArgClass::WideText;
        else if constexpr (std::is_same_v<E, char> || std::is_same_v<E, unsigned char>)
            return ArgClass::ByteText;
        else return ArgClass::Unsupported;
    } else if constexpr (std::is_integral_v<U> && !std::is_same_v<U, bool> && sizeof(U) <= 4) {
        if constexpr (std::is_same_v<U, char> || std::is_same_v<U, char16_t> ||
                      std::is_same_v<U, wchar_t> || std::is_same_v<U, char8_t> ||
                      std::is_same_v<U, char32_t>)
            return ArgClass::Unsupported;  // widen characters explicitly, without sign
        else if constexpr (std::is_signed_v<U>) return ArgClass::Signed;
        else return ArgClass::Unsigned;
    } else {
        return ArgClass::Unsupported;
    }
}

constexpr bool ConversionAccepts(ConversionKind kind, ArgClass arg) {
    switch (kind) {
    case ConversionKind::Decimal: return arg == ArgClass::Signed || arg == ArgClass::Unsigned;
    case ConversionKind::LowerHex:
    case ConversionKind::UpperHex: return arg == ArgClass::Unsigned;
    case ConversionKind::Text: return arg == ArgClass::Utf16Text || arg == ArgClass::WideText;
    case ConversionKind::Bytes: return arg == ArgClass::ByteText;
    default: return false;
    }
}

// Not constexpr on purpose: reaching one while compiling a format stops the
// build, and its name says why.
inline void ReportFormatHasAnInvalidConversion() {}
inline void ReportFormatIsNotAscii() {}

// A format cut into steps when it is compiled: each step is a run of literal
// bytes followed by one argument's conversion; a last run ends the format.
struct FormatStep {
    std::size_t literalBegin = 0;  // in ReportFormat::literal
    std::size_t literalLength = 0;
    Conversion conversion;  // Invalid for the last run
};

// A format string compiled when the program is: its literal text narrowed to
// bytes ("%%" is one '%' by then) and its conversions parsed. It is used as a
// template argument, ReportPrint<u"Interface %d\n">(index), so each format
// becomes code of its own: literal runs of known length and the conversions
// of its arguments, without reading the format at run time.
template <std::size_t N>
struct ReportFormat {
    char literal[N] = {};
    FormatStep steps[N / 2 + 1] = {};  // a conversion takes two units or more
    std::size_t conversions = 0;       // steps[conversions] is the last run

    consteval ReportFormat(const char16_t (&format)[N]) {
        std::size_t length = 0;
        std::size_t runStart = 0;
        for (const char16_t* p = format; *p != u'\0';) {
            if (*p >= 0x80) ReportFormatIsNotAscii();
            if (*p != u'%') {
                literal[length++] = static_cast<char>(*p++);
                continue;
            }
            Conversion conversion;
            p = ParseConversion(p + 1, conversion);
            if (conversion.kind == ConversionKind::Invalid) ReportFormatHasAnInvalidConversion();
            if (conversion.kind == ConversionKind::Percent) {
                literal[length++] = '%';
                continue;
            }
            steps[conversions++] = FormatStep{runStart, length - runStart, conversion};
            runStart = length;
        }
        steps[conversions] = FormatStep{runStart, length - runStart, Conversion{}};
    }
};

// Whether the conversions of `format` take arguments of types Args, in order.
template <typename... Args, std::size_t N>
consteval bool FormatMatches(const ReportFormat<N>& format) {
    constexpr ArgClass classes[] = {ClassOfArg<Args>()..., ArgClass::Unsupported};
    if (format.conversions != sizeof...(Args)) return false;
    for (std::size_t i = 0; i != format.conversions; ++i) {
        if (!ConversionAccepts(format.steps[i].conversion.kind, classes[i])) return false;
    }
    return true;
}

// Writes the digits of a numeric conversion as literal bytes.
template <Conversion Numeric, typename Out>
void FormatNumber(Out& out, std::uint32_t value) {
    constexpr std::size_t kSize = Numeric.minDigits > 11 ? Numeric.minDigits : 11;
    char digits[kSize];  // a sign and 10 decimal digits, or the hex digits
    char* const end = digits + kSize;
    char* begin = end;
    if constexpr (Numeric.kind == ConversionKind::Decimal) {
        const bool negative = (value & 0x80000000u) != 0;
        std::uint32_t magnitude = negative ? 0u - value : value;
        do {
            *--begin = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (negative) *--begin = '-';
    } else {
        constexpr const char* alphabet =
            Numeric.kind == ConversionKind::UpperHex ? "0123456789ABCDEF" : "0123456789abcdef";
        do {
            *--begin = alphabet[value & 0xF];
            value >>= 4;
        } while (value != 0);
        while (end - begin < static_cast<std::ptrdiff_t>(Numeric.minDigits)) *--begin = '0';
    }
    out.Literal(begin, static_cast<std::size_t>(end - begin));
}

// The most units or bytes a text argument may be read for: an array's size,
// a view's length, and no limit for a pointer, read up to its terminator.
template <typename T>
std::size_t TextLimit(const T& text) {
    if constexpr (std::is_array_v<T>) return std::extent_v<T>;
    else if constexpr (std::is_pointer_v<T>) return SIZE_MAX;
    else return text.size();
}

template <typename T>
const auto* TextUnits(const T& text) {
    if constexpr (std::is_array_v<T> || std::is_pointer_v<T>) return &text[0];
    else return text.data();
}

// Writes one argument by its conversion.
template <Conversion Converted, typename Out, typename T>
void FormatArgument(Out& out, const T& value) {
    constexpr ArgClass kind = ClassOfArg<T>();
    if constexpr (kind == ArgClass::Signed || kind == ArgClass::Unsigned) {
        FormatNumber<Converted>(out, static_cast<std::uint32_t>(value));
    } else if constexpr (kind == ArgClass::ByteText) {
        out.Bytes(reinterpret_cast<const unsigned char*>(TextUnits(value)), TextLimit(value));
    } else {
        out.Units(TextUnits(value), TextLimit(value));
    }
}

template <ReportFormat Format, std::size_t Step, typename Out>
void FormatLiteralRun(Out& out) {
    constexpr FormatStep step = Format.steps[Step];
    if constexpr (step.literalLength != 0) out.Literal(Format.literal + step.literalBegin, step.literalLength);
}

template <ReportFormat Format, typename Out, typename... Args, std::size_t... Steps>
void FormatSteps(Out& out, std::index_sequence<Steps...>, const Args&... args) {
    ((FormatLiteralRun<Format, Steps>(out), FormatArgument<Format.steps[Steps].conversion>(out, args)),
     ...);
    FormatLiteralRun<Format, sizeof...(Args)>(out);
}

// Formats Format with args into out, which receives:
//   Literal(const char*, count)      format text and digits, ASCII bytes;
//   Units(const C*, limit)           a text argument (C is char16_t or wchar_t),
//                                    up to its first zero unit, at most limit units;
//   Bytes(const unsigned char*, limit)  a byte argument, likewise.
template <ReportFormat Format, typename Out, typename... Args>
void FormatReport(Out& out, const Args&... args) {
    static_assert(FormatMatches<Args...>(Format), "the format's conversions do not take these arguments");
    FormatSteps<Format>(out, std::index_sequence_for<Args...>{}, args...);
}
