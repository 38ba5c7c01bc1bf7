#include "data/SqlFunctions.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sqlite3.h>
#include <string>

namespace zd {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string withoutBlanks(QByteArrayView text)
{
    std::string s;
    s.reserve(static_cast<size_t>(text.size()));
    for (char c : text)
        if (!isBlank(c)) s.push_back(c);
    return s;
}

double radixVal(const std::string& s, size_t from, int radix)
{
    long long v = 0;
    for (size_t i = from; i < s.size(); ++i) {
        const char c = s[i];
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (radix == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (radix == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0 || d >= radix || v > (1LL << 40)) break;
        v = v * radix + d;
    }
    return static_cast<double>(v);
}

} // namespace

double accessVal(QByteArrayView text)
{
    std::string s = withoutBlanks(text);
    if (s.size() > 1 && s[0] == '&') {
        const char k = s[1];
        if (k == 'h' || k == 'H') return radixVal(s, 2, 16);
        if (k == 'o' || k == 'O') return radixVal(s, 2, 8);
        return 0;
    }
    // Longest prefix of the form [sign] digits [. digits] [(E|D) [sign] digits].
    size_t i = 0, n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) { ++i; ++digits; }
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) { ++i; ++digits; }
    }
    if (digits == 0) return 0;
    size_t end = i;
    if (i < n && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        size_t j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
        size_t expDigits = 0;
        while (j < n && std::isdigit(static_cast<unsigned char>(s[j]))) { ++j; ++expDigits; }
        if (expDigits > 0) {
            s[i] = 'e';
            end = j;
        }
    }
    const double v = std::strtod(s.substr(0, end).c_str(), nullptr);
    return std::isfinite(v) ? v : 0;
}

namespace {

// Decodes one UTF-8 code point; invalid bytes count as themselves.
char32_t nextCodePoint(const unsigned char*& p, const unsigned char* end)
{
    const unsigned char c = *p++;
    if (c < 0x80) return c;
    int extra = (c >= 0xF0) ? 3 : (c >= 0xE0) ? 2 : (c >= 0xC0) ? 1 : 0;
    char32_t cp = c & (0x3F >> extra);
    if (extra == 0) return c;
    for (int k = 0; k < extra; ++k) {
        if (p >= end || (*p & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (*p++ & 0x3F);
    }
    return cp;
}

// Primary weight: letters compare without case, Ё as Е. Secondary: exact code point.
char32_t primaryWeight(char32_t cp)
{
    if (cp >= 'A' && cp <= 'Z') return cp + 32;
    if (cp == 0x401 || cp == 0x451) return 0x435 * 2 + 1;    // Ё ё just after е
    if (cp >= 0x410 && cp <= 0x42F) return (cp + 32) * 2;     // А..Я -> а..я
    if (cp >= 0x430 && cp <= 0x44F) return cp * 2;
    if (cp > 0x44F) return cp * 2 + 0x1000;
    return cp;
}

// The start of the code point at i, where a and b agree on every byte before i: a byte
// that is not a continuation byte always starts a code point of the decoding.
qsizetype codePointStart(QByteArrayView a, QByteArrayView b, qsizetype i)
{
    auto continuation = [](QByteArrayView s, qsizetype at) {
        return at < s.size() && (static_cast<unsigned char>(s[at]) & 0xC0) == 0x80;
    };
    while (i > 0 && (continuation(a, i) || continuation(b, i))) --i;
    return i;
}

char32_t nextFast(const unsigned char*& p, const unsigned char* end)
{
    if (*p < 0x80) return *p++;
    return nextCodePoint(p, end);
}

} // namespace

// One pass over both texts: the first difference of primary weights decides, then the
// lengths, then the first difference of code points met on the way. The bytes the two
// texts share at their start are equal in both and skipped without decoding.
int russianCompare(QByteArrayView a, QByteArrayView b)
{
    const qsizetype shared = std::mismatch(a.begin(), a.begin() + std::min(a.size(), b.size()), b.begin()).first - a.begin();
    if (shared == a.size() && shared == b.size()) return 0;
    const qsizetype from = codePointStart(a, b, shared);
    auto pa = reinterpret_cast<const unsigned char*>(a.data()) + from, ea = reinterpret_cast<const unsigned char*>(a.data()) + a.size();
    auto pb = reinterpret_cast<const unsigned char*>(b.data()) + from, eb = reinterpret_cast<const unsigned char*>(b.data()) + b.size();
    int secondary = 0;
    while (pa < ea && pb < eb) {
        const char32_t ca = nextFast(pa, ea), cb = nextFast(pb, eb);
        if (ca == cb) continue;
        const char32_t wa = primaryWeight(ca), wb = primaryWeight(cb);
        if (wa != wb) return wa < wb ? -1 : 1;
        if (secondary == 0) secondary = ca < cb ? -1 : 1;
    }
    if (pa < ea) return 1;
    if (pb < eb) return -1;
    return secondary;
}

namespace {

int collate(void*, int na, const void* a, int nb, const void* b)
{
    return russianCompare(QByteArrayView(static_cast<const char*>(a), na),
                          QByteArrayView(static_cast<const char*>(b), nb));
}

void valFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL: sqlite3_result_null(ctx); return;
    case SQLITE_INTEGER: {
        // Whole numbers past 9e15 go on as doubles, as those read from text do, so that
        // Abs(Val(StnX) - x) cannot overflow on a coordinate near the 64-bit limits.
        const sqlite3_int64 i = sqlite3_value_int64(argv[0]);
        if (std::fabs(static_cast<double>(i)) < 9.0e15) sqlite3_result_int64(ctx, i);
        else sqlite3_result_double(ctx, static_cast<double>(i));
        return;
    }
    case SQLITE_FLOAT: sqlite3_result_double(ctx, sqlite3_value_double(argv[0])); return;
    default: break;
    }
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const double v = accessVal(QByteArrayView(t, sqlite3_value_bytes(argv[0])));
    if (v == std::floor(v) && std::fabs(v) < 9.0e15)
        sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(v));
    else
        sqlite3_result_double(ctx, v);
}

// A code or a name: numbers become decimal text without ".0", text stays as it is.
void textFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_value* v = argv[0];
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: sqlite3_result_null(ctx); return;
    case SQLITE_FLOAT: {
        const double d = sqlite3_value_double(v);
        if (d == std::floor(d) && std::fabs(d) < 9.0e15) {
            const std::string s = std::to_string(static_cast<long long>(d));
            sqlite3_result_text(ctx, s.c_str(), -1, SQLITE_TRANSIENT);
            return;
        }
        const QByteArray s = QByteArray::number(d, 'g', 15);
        sqlite3_result_text(ctx, s.constData(), -1, SQLITE_TRANSIENT);
        return;
    }
    default:
        sqlite3_result_text(ctx, reinterpret_cast<const char*>(sqlite3_value_text(v)),
                            sqlite3_value_bytes(v), SQLITE_TRANSIENT);
    }
}

// A number: numbers pass, text is read with Val; NULL and empty text stay NULL, so
// that rows without a value can be told from rows with 0.
void numFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_value* v = argv[0];
    const int type = sqlite3_value_type(v);
    if (type == SQLITE_NULL || type == SQLITE_BLOB) { sqlite3_result_null(ctx); return; }
    if (type == SQLITE_TEXT) {
        const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
        if (withoutBlanks(QByteArrayView(t, sqlite3_value_bytes(v))).empty()) {
            sqlite3_result_null(ctx);
            return;
        }
    }
    valFunc(ctx, 1, argv);
}

} // namespace

bool registerSqlFunctions(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function(db, "Val", 1, flags, nullptr, valFunc, nullptr, nullptr) == SQLITE_OK
        && sqlite3_create_function(db, "ZdText", 1, flags, nullptr, textFunc, nullptr, nullptr) == SQLITE_OK
        && sqlite3_create_function(db, "ZdNum", 1, flags, nullptr, numFunc, nullptr, nullptr) == SQLITE_OK
        && sqlite3_create_collation(db, "RUSSIAN", SQLITE_UTF8, nullptr, collate) == SQLITE_OK;
}

} // namespace zd
