#include "search/NameFold.h"

#include <unicode/normalizer2.h>
#include <unicode/translit.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <utility>

namespace zd::search {

void Key::append(const Key& part)
{
    if (part.text.empty()) return;
    const auto base = static_cast<std::uint32_t>(text.size());
    if (base > 0) wordStarts.push_back(base);
    for (const std::uint32_t w : part.wordStarts) wordStarts.push_back(base + w);
    text += part.text;
}

void Key::appendWord(std::string_view word)
{
    if (word.empty()) return;
    if (!text.empty()) wordStarts.push_back(static_cast<std::uint32_t>(text.size()));
    text += word;
}

namespace {

std::string withDigraphs(std::string_view w)
{
    static constexpr std::array<std::pair<std::string_view, char>, 6> kDigraphs{{
        {"shch", 's'}, {"sh", 's'}, {"zh", 'z'}, {"ch", 'c'}, {"kh", 'h'}, {"ts", 'c'}}};
    std::string out;
    out.reserve(w.size());
    for (size_t i = 0; i < w.size();) {
        const auto d = std::find_if(kDigraphs.begin(), kDigraphs.end(),
                                    [&](const auto& g) { return w.substr(i).starts_with(g.first); });
        if (d != kDigraphs.end()) {
            out += d->second;
            i += d->first.size();
        } else {
            out += w[i++];
        }
    }
    return out;
}

bool isApostrophe(UChar32 c)
{
    return c == u'\'' || c == u'`' || c == 0x2019 || c == 0x2018 || c == 0x02BC || c == 0x00B4;
}

// Lowercase ASCII letters and digits of a transliterated word, the rest left out.
std::string asciiLetters(const icu::UnicodeString& latin)
{
    std::string out;
    out.reserve(static_cast<size_t>(latin.length()));
    for (int i = 0; i < latin.length(); ++i) {
        const char16_t c = latin.charAt(i);
        if (c >= u'A' && c <= u'Z') out += static_cast<char>(c + 32);
        else if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')) out += static_cast<char>(c);
    }
    return out;
}

std::unique_ptr<icu::Transliterator> transliterator(const char* id, QString* error)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Transliterator> t(
        icu::Transliterator::createInstance(icu::UnicodeString::fromUTF8(id), UTRANS_FORWARD, status));
    if (U_FAILURE(status) || !t) {
        if (error)
            *error = QStringLiteral("ICU не знает правил транслитерации %1: %2")
                         .arg(QLatin1String(id), QLatin1String(u_errorName(status)));
        return nullptr;
    }
    return t;
}

icu::UnicodeString nfc(const icu::UnicodeString& s)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* n = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) return s;
    icu::UnicodeString out = n->normalize(s, status);
    return U_FAILURE(status) ? s : out;
}

} // namespace

std::string latinSkeleton(std::string_view asciiWord)
{
    const std::string d = withDigraphs(asciiWord);
    std::string out;
    out.reserve(d.size());
    for (size_t i = 0; i < d.size(); ++i) {
        char c = d[i];
        const char next = i + 1 < d.size() ? d[i + 1] : '\0';
        if (c == 'y' || c == 'j') {
            if (next == 'a' || next == 'e' || next == 'u') continue;
            if (next == 'o') {
                c = 'e';
                ++i;
            } else {
                c = 'i';
            }
        }
        if (c == 'i' && !out.empty() && out.back() == 'i') continue;
        out += c;
    }
    return out;
}

FoldedText foldAsciiWord(std::string_view word)
{
    FoldedText out;
    for (const char ch : word) {
        if (ch == '\'' || ch == '`') continue;
        out.folded.text += (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch + 32) : ch;
    }
    out.bgn.text = latinSkeleton(out.folded.text);
    out.latin.text = out.bgn.text;
    return out;
}

Expected<std::unique_ptr<WordFolder>> WordFolder::create()
{
    std::unique_ptr<WordFolder> f(new WordFolder);
    QString error;
    f->m_bgn = transliterator("Russian-Latin/BGN; Latin-ASCII", &error);
    if (f->m_bgn) f->m_latin = transliterator("Cyrillic-Latin; Latin-ASCII", &error);
    if (!f->m_latin) return DbError{QString(), error};
    return f;
}

WordFolder::~WordFolder() = default;

FoldedText WordFolder::fold(QStringView text) const
{
    const QByteArray utf8 = text.toUtf8();
    FoldedText all;
    forEachToken(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), [&](std::string_view t, bool ascii) {
        const FoldedText part = ascii ? foldAsciiWord(t) : foldToken(t);
        all.folded.append(part.folded);
        all.bgn.append(part.bgn);
        all.latin.append(part.latin);
    });
    return all;
}

FoldedText WordFolder::foldToken(std::string_view utf8Token) const
{
    const icu::UnicodeString token = nfc(icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8Token.data(), static_cast<int32_t>(utf8Token.size()))));
    FoldedText out;
    std::u16string word;
    for (int i = 0; i < token.length(); i = token.moveIndex32(i, 1)) {
        UChar32 c = token.char32At(i);
        if (u_isalnum(c)) {
            c = u_foldCase(c, U_FOLD_CASE_DEFAULT);
            if (c == 0x451) c = 0x435;   // ё as е
            icu::UnicodeString one(c);
            word.append(reinterpret_cast<const char16_t*>(one.getBuffer()), static_cast<size_t>(one.length()));
        } else if (!isApostrophe(c) && u_charType(c) != U_NON_SPACING_MARK) {
            foldWord(word, out);
            word.clear();
        }
    }
    foldWord(word, out);
    return out;
}

void WordFolder::foldWord(const std::u16string& word, FoldedText& out) const
{
    if (word.empty()) return;
    const icu::UnicodeString folded(word.data(), static_cast<int32_t>(word.size()));
    Key part;
    folded.toUTF8String(part.text);
    out.folded.append(part);
    icu::UnicodeString bgn(folded), latin(folded);
    m_bgn->transliterate(bgn);
    m_latin->transliterate(latin);
    out.bgn.append(Key{latinSkeleton(asciiLetters(bgn)), {}});
    out.latin.append(Key{latinSkeleton(asciiLetters(latin)), {}});
}

bool hasCyrillic(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.script() == QChar::Script_Cyrillic; });
}

QString latinName(const QString& name)
{
    thread_local const std::unique_ptr<icu::Transliterator> bgn = transliterator("Russian-Latin/BGN", nullptr);
    if (!bgn) return name;
    icu::UnicodeString s(reinterpret_cast<const char16_t*>(name.utf16()), static_cast<int32_t>(name.size()));
    bgn->transliterate(s);
    QString out;
    out.reserve(s.length());
    for (int i = 0; i < s.length(); ++i) {
        const char16_t c = s.charAt(i);
        if (c != 0x02B9 && c != 0x02BA && c != 0x00B7) out += QChar(c);
    }
    return out;
}

} // namespace zd::search
