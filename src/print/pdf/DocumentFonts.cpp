#include "print/pdf/DocumentFonts.h"

#include "print/pdf/PdfFile.h"

#include <algorithm>

namespace report::pdf {

int DocumentFonts::Add(const std::shared_ptr<const Face>& face, Glyphs& glyphs) {
    auto found = std::find_if(fonts_.begin(), fonts_.end(),
                              [&](const Font& font) { return font.face->key == face->key; });
    if (found == fonts_.end()) {
        fonts_.push_back({face, file_.Reserve(), {}});
        found = fonts_.end() - 1;
    }
    found->glyphs.merge(glyphs);
    return found->object;
}

void DocumentFonts::Write() {
    for (std::size_t i = 0; i < fonts_.size(); ++i) {
        const Font& font = fonts_[i];
        const Face& face = *font.face;
        // The subset tag: six capitals, another for each font of the document.
        QByteArray name = "VAAAAA+";
        for (std::size_t n = i, place = 5; n > 0 && place > 0; n /= 26, --place) name[place] = char('A' + n % 26);
        name += face.postScriptName;
        const int descendant = file_.Reserve(), descriptor = file_.Reserve(), program = file_.Reserve(),
                  unicode = file_.Reserve();
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
        const QByteArray subset = Subset(face, font.glyphs);
        file_.Stream(program, "/Length1 " + QByteArray::number(subset.size()), Deflate({subset.constData(), std::size_t(subset.size())}));
        const QByteArray map = ToUnicode(font.glyphs);
        file_.Stream(unicode, {}, Deflate({map.constData(), std::size_t(map.size())}));
    }
}

}  // namespace report::pdf
