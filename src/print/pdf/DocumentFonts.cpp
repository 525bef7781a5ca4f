#include "print/pdf/DocumentFonts.h"

#include "print/pdf/PdfFile.h"

#include <QCryptographicHash>

#include <algorithm>

namespace report::pdf {
namespace {

// Whether every glyph of `page` that `font` shows too stands for the same
// text in both.
bool Agree(const Glyphs& font, const Glyphs& page) {
    return std::all_of(page.begin(), page.end(), [&](const auto& glyph) {
        const auto known = font.find(glyph.first);
        return known == font.end() || known->second.text == glyph.second.text;
    });
}

// The subset tag: six capital letters from a hash of the subset's font
// file, so that one subset is tagged alike in every document and different
// subsets differently. Should two subsets of a document hash to the same
// letters, the later one takes them from a hash of its hash.
QByteArray Tag(const QByteArray& subset, const std::vector<QByteArray>& taken) {
    QByteArray hash = QCryptographicHash::hash(subset, QCryptographicHash::Sha256);
    for (;;) {
        QByteArray tag;
        for (int i = 0; i < 6; ++i) tag += char('A' + uchar(hash[i]) % 26);
        if (std::find(taken.begin(), taken.end(), tag) == taken.end()) return tag;
        hash = QCryptographicHash::hash(hash, QCryptographicHash::Sha256);
    }
}

}  // namespace

int DocumentFonts::Add(const std::shared_ptr<const Face>& face, Glyphs& glyphs) {
    const auto known = std::find_if(faces_.begin(), faces_.end(),
                                    [&](const std::shared_ptr<const Face>& f) { return f->key == face->key; });
    const auto index = std::size_t(known - faces_.begin());
    if (known == faces_.end()) faces_.push_back(face);
    auto found = std::find_if(fonts_.begin(), fonts_.end(),
                              [&](const Font& font) { return font.face == index && Agree(font.glyphs, glyphs); });
    if (found == fonts_.end()) {
        fonts_.push_back({index, file_.Reserve(), {}});
        found = fonts_.end() - 1;
    }
    found->glyphs.merge(glyphs);
    return found->object;
}

void DocumentFonts::Write() {
    std::vector<QByteArray> tags;
    for (std::size_t f = 0; f < faces_.size(); ++f) {
        const Face& face = *faces_[f];
        // One font file for the face, of every glyph its fonts show.
        Glyphs shown;
        for (const Font& font : fonts_) {
            if (font.face == f) shown.insert(font.glyphs.begin(), font.glyphs.end());
        }
        const QByteArray subset = Subset(face, shown);
        tags.push_back(Tag(subset, tags));
        const QByteArray name = tags.back() + '+' + face.postScriptName;
        const int program = file_.Reserve();
        file_.Stream(program, "/Length1 " + QByteArray::number(subset.size()),
                     Deflate({subset.constData(), std::size_t(subset.size())}));
        for (const Font& font : fonts_) {
            if (font.face != f) continue;
            const int descendant = file_.Reserve(), descriptor = file_.Reserve(), unicode = file_.Reserve();
            file_.Object(font.object, "<< /Type /Font /Subtype /Type0 /BaseFont /" + name +
                                          " /Encoding /Identity-H /DescendantFonts [" + PdfFile::Ref(descendant) +
                                          "] /ToUnicode " + PdfFile::Ref(unicode) + " >>");
            file_.Object(descendant, "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + name +
                                         " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
                                         " /FontDescriptor " +
                                         PdfFile::Ref(descriptor) + " /CIDToGIDMap /Identity /DW 0 /W " +
                                         Widths(font.glyphs) + " >>");
            QByteArray description = "<< /Type /FontDescriptor /FontName /" + name + " /Flags " +
                                     QByteArray::number(face.fixedPitch ? 33 : 32) + " /FontBBox [";
            for (const double edge : face.box) {
                AppendNumber(description, edge);
                description += ' ';
            }
            description += "] /ItalicAngle ";
            AppendNumber(description, face.italicAngle);
            description += " /Ascent ";
            AppendNumber(description, face.ascent);
            description += " /Descent ";
            AppendNumber(description, face.descent);
            description += " /CapHeight ";
            AppendNumber(description, face.capHeight);
            description += " /StemV 80 /FontFile2 " + PdfFile::Ref(program) + " >>";
            file_.Object(descriptor, description);
            const QByteArray map = ToUnicode(font.glyphs);
            file_.Stream(unicode, {}, Deflate({map.constData(), std::size_t(map.size())}));
        }
    }
}

}  // namespace report::pdf
