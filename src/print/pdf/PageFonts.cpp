#include "print/pdf/PageFonts.h"

#include <QList>

#include <algorithm>

namespace report::pdf {

double ThreadFace::Advance(unsigned glyph) {
    if (advances[glyph] < 0)
        advances[glyph] =
            engine.advancesForGlyphIndexes(QList<quint32>{glyph}, QRawFont::UseDesignMetrics).value(0).x() * scale;
    return advances[glyph];
}

void PageFonts::BeginPage(std::vector<FaceUse>& faces) {
    page_ = &faces;
    ++pages_;
    for (ThreadFace& face : faces_) face.fonts.clear();
}

TextFont& PageFonts::FontOf(const TrepFont& font) {
    const auto same = [&](const TextFont& known) {
        return known.height == font.Height && known.style == font.Style && known.name == font.Name;
    };
    if (last_ < fonts_.size() && same(fonts_[last_])) return fonts_[last_];
    last_ = std::size_t(std::find_if(fonts_.begin(), fonts_.end(), same) - fonts_.begin());
    if (last_ == fonts_.size()) {
        const UnitFont unit = MakeFont(font);
        fonts_.push_back({font.Name, font.Height, font.Style, unit, FaceOf(QRawFont::fromFont(unit.font), unit.scale)});
    }
    return fonts_[last_];
}

std::size_t PageFonts::FaceOf(const QRawFont& engine, double scale) {
    for (std::size_t i = 0; i < faces_.size(); ++i)
        if (faces_[i].engine == engine && faces_[i].scale == scale) return i;
    ThreadFace face;
    face.engine = engine;
    face.scale = scale;
    face.points = engine.pixelSize() * scale * kPointsPerUnit;
    face.face = Face::Of(engine);
    if (!face.face) {
        faces_.push_back(std::move(face));
        return faces_.size() - 1;
    }
    hb_blob_t* blob = hb_blob_create(face.face->sfnt.constData(), unsigned(face.face->sfnt.size()),
                                     HB_MEMORY_MODE_READONLY, nullptr, nullptr);
    hb_face_t* tables = hb_face_create(blob, 0);
    face.shaper.reset(hb_font_create(tables));
    hb_face_destroy(tables);
    hb_blob_destroy(blob);
    const auto glyphs = std::size_t(std::max(face.face->glyphCount, 0));
    face.advances.assign(glyphs, -1.0);
    face.listedOn.assign(glyphs, 0);
    face.listedAs.resize(glyphs);
    faces_.push_back(std::move(face));
    return faces_.size() - 1;
}

int PageFonts::FontFor(ThreadFace& face, unsigned glyph, QStringView text) {
    if (face.fonts.empty()) NewFont(face);
    if (face.listedOn[glyph] != pages_) {
        face.listedOn[glyph] = pages_;
        face.listedAs[glyph] = text.toString();
        (*page_)[std::size_t(face.fonts[0])].glyphs[glyph] = {face.face->widths[glyph], face.listedAs[glyph]};
        return face.fonts[0];
    }
    if (face.listedAs[glyph] == text) return face.fonts[0];
    for (std::size_t i = 1; i < face.fonts.size(); ++i) {
        Glyphs& glyphs = (*page_)[std::size_t(face.fonts[i])].glyphs;
        const auto [known, added] = glyphs.try_emplace(glyph, Glyph{face.face->widths[glyph], text.toString()});
        if (added || known->second.text == text) return face.fonts[i];
    }
    NewFont(face);
    page_->back().glyphs[glyph] = {face.face->widths[glyph], text.toString()};
    return face.fonts.back();
}

void PageFonts::NewFont(ThreadFace& face) {
    face.fonts.push_back(int(page_->size()));
    page_->push_back({face.face, {}});
}

}  // namespace report::pdf
