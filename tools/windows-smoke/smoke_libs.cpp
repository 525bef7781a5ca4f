// The kit's HarfBuzz with hb-subset and libcsv: a font cut down to the glyphs of
// one word, and a CSV line with a quoted field read into its fields.
#include <csv.h>
#include <hb-subset.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static void onField(void *text, size_t length, void *fields)
{
    static_cast<std::vector<std::string> *>(fields)->emplace_back(static_cast<char *>(text), length);
}

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: smoke_libs FONT.ttf\n");
        return 2;
    }
    hb_blob_t *blob = hb_blob_create_from_file_or_fail(argv[1]);
    if (!blob) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    hb_face_t *face = hb_face_create(blob, 0);
    hb_subset_input_t *input = hb_subset_input_create_or_fail();
    for (const char *c = "Etichette"; *c; ++c)
        hb_set_add(hb_subset_input_unicode_set(input), static_cast<hb_codepoint_t>(*c));
    hb_face_t *subset = hb_subset_or_fail(face, input);
    const unsigned fullGlyphs = hb_face_get_glyph_count(face);
    const unsigned subsetGlyphs = subset ? hb_face_get_glyph_count(subset) : 0;
    std::printf("harfbuzz %s: %u glyphs cut to %u\n", hb_version_string(), fullGlyphs, subsetGlyphs);

    const char line[] = "Rossi,\"Via Roma, 1\",Milano\n";
    std::vector<std::string> fields;
    csv_parser parser;
    csv_init(&parser, CSV_STRICT);
    const size_t read = csv_parse(&parser, line, std::strlen(line), onField, nullptr, &fields);
    csv_fini(&parser, onField, nullptr, &fields);
    csv_free(&parser);
    std::printf("libcsv: %zu fields, the second \"%s\"\n", fields.size(),
                fields.size() > 1 ? fields[1].c_str() : "");

    // at least .notdef and the six letters E t i c h e, and fewer than all
    const bool ok = subset && subsetGlyphs >= 7 && subsetGlyphs < fullGlyphs && read == std::strlen(line)
        && fields.size() == 3 && fields[1] == "Via Roma, 1";
    hb_face_destroy(subset);
    hb_subset_input_destroy(input);
    hb_face_destroy(face);
    hb_blob_destroy(blob);
    return ok ? 0 : 1;
}
