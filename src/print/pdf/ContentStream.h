#pragma once
#include <QColor>

#include <initializer_list>
#include <string>
#include <string_view>

// A page's content stream, one function per operator of the subset the writer
// draws, in the manner of PDFio's content API: each writes its operands and
// its operator, and what separates it from the next one (a space where the
// next operator completes it, as a clip or a stroke does a path; a line end
// elsewhere).
namespace report::pdf {

class ContentStream {
public:
    // Graphics state.
    void Save();                                                                          // q
    void Restore();                                                                       // Q
    void Concat(double a, double b, double c, double d, double e, double f);              // cm
    void SetLineJoin(int join);                                                           // j
    void SetLineCap(int cap);                                                             // J
    void SetLineWidth(double width);                                                      // w
    void SetFillRgb(const QColor& color);                                                 // rg
    void SetStrokeRgb(const QColor& color);                                               // RG
    // Paths.
    void Rect(double x, double y, double width, double height);                           // re
    void MoveTo(double x, double y);                                                      // m
    void LineTo(double x, double y);                                                      // l
    void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3);       // c
    void Fill();                                                                          // f
    void Stroke();                                                                        // S
    void Clip();                                                                          // W n
    // Text.
    void BeginText();                                                                     // BT
    void EndText();                                                                       // ET
    void SetFont(int font, double size);                                                  // /Fn size Tf
    void SetTextMatrix(double x, double y);                                               // 1 0 0 1 x y Tm
    // A TJ array: its glyphs as two-byte numbers, each run after the first
    // moved by `move` thousandths of an em against the writing direction.
    void BeginGlyphs();                                                                   // [(
    void AddGlyph(unsigned glyph);
    void MoveGlyphs(double move);                                                         // ) move (
    void EndGlyphs();                                                                     // )] TJ

    const std::string& Data() const { return out_; }
    void Clear() { out_.clear(); }

private:
    void Operands(std::initializer_list<double> values);
    void Operator(std::string_view op, char after);

    std::string out_;
};

}  // namespace report::pdf
