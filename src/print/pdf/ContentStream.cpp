#include "print/pdf/ContentStream.h"

#include "print/pdf/PdfFont.h"

namespace report::pdf {

void ContentStream::Operands(std::initializer_list<double> values) {
    for (const double value : values) {
        AppendNumber(out_, value);
        out_ += ' ';
    }
}

void ContentStream::Operator(std::string_view op, char after) {
    out_ += op;
    out_ += after;
}

void ContentStream::Save() { Operator("q", ' '); }
void ContentStream::Restore() { Operator("Q", '\n'); }

void ContentStream::Concat(double a, double b, double c, double d, double e, double f) {
    Operands({a, b, c, d, e, f});
    Operator("cm", '\n');
}

void ContentStream::SetLineJoin(int join) {
    Operands({double(join)});
    Operator("j", ' ');
}

void ContentStream::SetLineCap(int cap) {
    Operands({double(cap)});
    Operator("J", '\n');
}

void ContentStream::SetLineWidth(double width) {
    Operands({width});
    Operator("w", ' ');
}

void ContentStream::SetFillRgb(const QColor& color) {
    Operands({color.redF(), color.greenF(), color.blueF()});
    Operator("rg", '\n');
}

void ContentStream::SetStrokeRgb(const QColor& color) {
    Operands({color.redF(), color.greenF(), color.blueF()});
    Operator("RG", ' ');
}

void ContentStream::Rect(double x, double y, double width, double height) {
    Operands({x, y, width, height});
    Operator("re", ' ');
}

void ContentStream::MoveTo(double x, double y) {
    Operands({x, y});
    Operator("m", '\n');
}

void ContentStream::LineTo(double x, double y) {
    Operands({x, y});
    Operator("l", '\n');
}

void ContentStream::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
    Operands({x1, y1, x2, y2, x3, y3});
    Operator("c", '\n');
}

void ContentStream::Fill() { Operator("f", '\n'); }
void ContentStream::Stroke() { Operator("S", '\n'); }
void ContentStream::Clip() { Operator("W n", '\n'); }

void ContentStream::BeginText() { Operator("BT", '\n'); }
void ContentStream::EndText() { Operator("ET", '\n'); }

void ContentStream::SetFont(int font, double size) {
    out_ += "/F" + std::to_string(font) + ' ';
    Operands({size});
    Operator("Tf", '\n');
}

void ContentStream::SetTextMatrix(double x, double y) {
    Operands({1, 0, 0, 1, x, y});
    Operator("Tm", ' ');
}

void ContentStream::BeginGlyphs() { out_ += "[("; }

void ContentStream::AddGlyph(unsigned glyph) {
    // The glyph's number as two bytes of a string; a reader takes a bare
    // carriage return in a string for a line feed.
    for (const char byte : {char(glyph >> 8), char(glyph & 0xff)}) {
        if (byte == '\r') {
            out_ += "\\r";
            continue;
        }
        if (byte == '(' || byte == ')' || byte == '\\') out_ += '\\';
        out_ += byte;
    }
}

void ContentStream::MoveGlyphs(double move) {
    out_ += ") ";
    AppendNumber(out_, move);
    out_ += " (";
}

void ContentStream::EndGlyphs() { Operator(")] TJ", '\n'); }

}  // namespace report::pdf
