#pragma once
// Names folded into search keys, and their Latin spellings, with ICU's case folding and
// transliterators. A name is cut into words at anything but letters, digits and
// apostrophes (apostrophes are dropped); each key is its words run together, so that
// blanks, hyphens and dots never matter, and knows where its words begin.
#include "data/DbError.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class Transliterator;
U_NAMESPACE_END

namespace zd::search {

// One key: UTF-8 bytes, and the byte offsets at which its second and later words begin.
struct Key {
    std::string text;
    std::vector<std::uint32_t> wordStarts;
    void append(const Key& part);
    void appendWord(std::string_view word);   // a word that folds to itself
};

// The keys of a run of text: folded (case folded, ё as е: the Cyrillic key), and the loose
// ASCII skeletons of its two Latin spellings (Russian-Latin/BGN and Cyrillic-Latin).
struct FoldedText {
    Key folded, bgn, latin;
};

// The ASCII skeleton of lowercase ASCII letters and digits of one word, where the usual
// spellings of a Russian name meet: shch, sh, zh, ch, kh, ts as s, z, c, h, c; yo and jo
// as e; y and j dropped before a, e, u and read as i elsewhere; a run of i as one.
std::string latinSkeleton(std::string_view asciiWord);

// Folds words; holds ICU transliterators, which are not shared between threads, so each
// thread makes its own.
class WordFolder {
public:
    static Expected<std::unique_ptr<WordFolder>> create();
    ~WordFolder();

    // The keys of a text in any script. Plain ASCII words go without ICU.
    FoldedText fold(QStringView text) const;
    // The keys of one token (see forEachToken) that is not plain ASCII.
    FoldedText foldToken(std::string_view utf8Token) const;

private:
    WordFolder() = default;
    void foldWord(const std::u16string& word, FoldedText& out) const;
    std::unique_ptr<icu::Transliterator> m_bgn, m_latin;
};

// Calls f(token, ascii) for each run of UTF-8 text between ASCII blanks and punctuation
// (apostrophes belong to the run); ascii tells a run of ASCII letters, digits and
// apostrophes alone. Non-ASCII separators inside a run are found by foldToken.
template <class F>
void forEachToken(std::string_view utf8, F&& f)
{
    auto inToken = [](unsigned char c) {
        return c >= 0x80 || (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c == '\'' || c == '`';
    };
    size_t i = 0;
    while (i < utf8.size()) {
        while (i < utf8.size() && !inToken(static_cast<unsigned char>(utf8[i]))) ++i;
        const size_t from = i;
        bool ascii = true;
        for (; i < utf8.size() && inToken(static_cast<unsigned char>(utf8[i])); ++i)
            ascii = ascii && static_cast<unsigned char>(utf8[i]) < 0x80;
        if (i > from) f(utf8.substr(from, i - from), ascii);
    }
}

// The keys of an ASCII word (letters, digits, apostrophes) of any case: folded is the word
// in lowercase, both skeletons its skeleton.
FoldedText foldAsciiWord(std::string_view word);

// Whether a text holds any Cyrillic letter.
bool hasCyrillic(QStringView text);

// A display name in Latin letters (Russian-Latin/BGN): case, blanks, hyphens, dots and
// digits kept; the signs for ь and ъ and the separating dot left out, for a readable
// label ("Орёл" gives "Orël", "Подъём" "Podyëm"). The name itself when ICU has no rules.
QString latinName(const QString& name);

} // namespace zd::search
