#include "import/pen/svg/SvgStrokes.h"

#include "import/pen/FontHeight.h"
#include "import/pen/svg/SvgNumbers.h"
#include "import/pen/svg/SvgPathData.h"
#include "import/pen/svg/SvgShapes.h"
#include "import/pen/svg/SvgStyle.h"
#include "import/pen/svg/SvgTransform.h"
#include "import/pen/svg/SvgViewport.h"
#include "import/text/TextEncoding.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

namespace {

constexpr std::size_t mostSegments = 1000000;
constexpr std::size_t mostPoints = 4000000;
constexpr double flatness = 1.0 / svgFlatnessDivisor;
// Entities are for names (as some editors declare their namespaces), never for bulk.
constexpr int longestEntity = 64;
constexpr qint64 largestFileWithEntities = 1 << 20;
// Deeper nesting than any drawing needs; each level keeps its transform.
constexpr std::size_t deepestNesting = 100000;

const char* const svgNamespace = "http://www.w3.org/2000/svg";

// Attribute text as the path and number readers take it.
template <typename Text> std::u16string_view view(const Text& text) {
    return {reinterpret_cast<const char16_t*>(text.constData()), std::size_t(text.size())};
}

template <typename Text> bool is(const Text& text, const char* name) {
    return text == QLatin1String(name);
}

bool oneOf(const QXmlStreamReader& xml, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (is(xml.name(), name))
            return true;
    return false;
}

// What an element says of whether it is shown.
SvgElementStyle styleOf(const QXmlStreamAttributes& attributes) {
    return {view(attributes.value("id")), view(attributes.value("class")),
            view(attributes.value("display")), view(attributes.value("visibility")),
            view(attributes.value("style"))};
}

// Why the document type's entities are refused; empty where they are not.
std::string entityProblem(const QXmlStreamReader& xml, qint64 fileSize) {
    const auto declarations = xml.entityDeclarations();
    for (const auto& entity : declarations) {
        const std::string name = entity.name().toString().toStdString();
        if (!entity.systemId().isEmpty() || !entity.publicId().isEmpty())
            return "the document type declares the external entity '" + name +
                   "'; external entities are never read";
        const auto value = entity.value();
        const char* problem = value.size() > longestEntity       ? "is longer than 64 characters"
                              : value.contains(QLatin1Char('&')) ? "refers to other entities"
                              : value.contains(QLatin1Char('<')) ? "holds markup"
                                                                 : nullptr;
        if (problem)
            return "the document type's entity '" + name + "' " + problem +
                   "; such entities are refused, as they can expand without bound";
    }
    if (!declarations.isEmpty() && fileSize > largestFileWithEntities)
        return "the document type declares entities in a file of more than 1 MiB; such "
               "files are refused, as their entities can expand without bound";
    return {};
}

// The rules of every <style> element of the document, wherever it stands;
// nothing where the document is broken, which the reading proper reports.
SvgStyleSheet styleSheet(const QByteArray& bytes) {
    SvgStyleSheet sheet;
    QXmlStreamReader xml(bytes);
    xml.setNamespaceProcessing(true);
    xml.setEntityExpansionLimit(longestEntity);
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::DTD && !entityProblem(xml, bytes.size()).empty())
            return {};
        if (token == QXmlStreamReader::StartElement && is(xml.name(), "style") &&
            (xml.namespaceUri().isEmpty() || is(xml.namespaceUri(), svgNamespace)))
            sheet.add(view(xml.readElementText(QXmlStreamReader::SkipChildElements)));
    }
    return xml.hasError() ? SvgStyleSheet() : sheet;
}

// One element's place in the tree.
struct Frame {
    Affine map;          // from its coordinates to the document's
    bool drawn = true;   // its shapes are drawn (not inside defs, a symbol, a mask...)
    bool visible = true; // its visibility, inherited
    bool inFont = false;
    SvgViewport viewport; // what its percentages refer to
};

class SvgReader {
public:
    SvgReader(std::string_view data, PenError& error)
        : bytes(QByteArray::fromRawData(data.data(), int(data.size()))), xml(bytes), error(error) {}

    bool read(SvgKind& kind, PenFont& font);

private:
    bool fail(const std::string& message, int line = -1) {
        error.line = line < 0 ? int(xml.lineNumber()) : line;
        error.message = message;
        return false;
    }
    std::string element() const { return "<" + xml.name().toString().toStdString() + ">"; }
    bool checkEntities();
    bool start(std::vector<Frame>& frames);
    bool passedOver(const SvgShown& shown);
    bool readPlacement(bool root, Frame& frame);
    bool readViewport(bool root, Frame& frame);
    bool readContent(Frame& frame, bool& glyph);
    bool readGlyph();
    bool readShape(const Frame& frame);
    bool readBasicShape(const Frame& frame, bool& read, std::string& problem);
    bool number(const char* attribute, double& value);
    bool length(const char* attribute, LengthAxis axis, const Frame& frame, double& value);
    bool finishDrawing(PenFont& font);

    QByteArray bytes;
    QXmlStreamReader xml;
    PenError& error;
    std::size_t segments = mostSegments;
    std::size_t points = mostPoints;
    bool sawFont = false;
    bool sawShape = false;
    std::vector<PenGlyph> glyphs;
    double capHeight = 0, ascent = 0, advance = 0;
    SvgOutline drawing;
    double viewBox[4] = {};
    bool hasViewBox = false;
    std::vector<std::string> notes;
    SvgStyleSheet sheet;
};

bool SvgReader::checkEntities() {
    const std::string problem = entityProblem(xml, bytes.size());
    return problem.empty() || fail(problem);
}

bool SvgReader::number(const char* attribute, double& value) {
    const auto text = xml.attributes().value(attribute);
    SvgScanner in(view(text));
    std::string problem;
    in.skipSpaces();
    if (!in.number(value, problem) || !in.atEnd())
        return fail(element() + ": " + attribute + " is not a number" +
                    (problem.empty() ? "" : " (" + problem + ")"));
    return true;
}

// Reads a length attribute, 0 where it is missing.
bool SvgReader::length(const char* attribute, LengthAxis axis, const Frame& frame, double& value) {
    value = 0;
    const auto text = xml.attributes().value(attribute);
    std::string problem;
    if (xml.attributes().hasAttribute(attribute) &&
        !parseLength(view(text), axis, frame.viewport, value, problem))
        return fail(element() + ": " + attribute + " '" + text.toString().toStdString() +
                    "' is not a length (" + problem + ")");
    return true;
}

bool SvgReader::readGlyph() {
    const QXmlStreamAttributes attributes = xml.attributes();
    PenGlyph glyph;
    const QVector<uint> code = attributes.value("unicode").toString().toUcs4();
    if (code.size() == 1)
        glyph.character = char32_t(code[0]);
    if (attributes.hasAttribute("horiz-adv-x")) {
        if (!number("horiz-adv-x", glyph.advance))
            return false;
        glyph.hasAdvance = true;
    }
    SvgOutline outline;
    std::string problem;
    if (segments == 0)
        return fail(element() + ": more glyphs and segments than are read from one input");
    --segments;
    if (!parsePathData(view(attributes.value("d")), outline, segments, problem))
        return fail(element() + ": " + problem);
    if (!transformOutline(outline, 0, Affine()))
        return fail(element() + ": a point lies beyond the range of a 32-bit float");
    if (!flattenOutline(outline, outlineSize(outline) * flatness, glyph.strokes, points))
        return fail(element() + ": more than " + std::to_string(mostPoints) +
                    " points after flattening curves");
    glyphs.push_back(std::move(glyph));
    return true;
}

bool SvgReader::readShape(const Frame& frame) {
    const QXmlStreamAttributes attributes = xml.attributes();
    const std::size_t first = drawing.size();
    std::string problem;
    bool read = true;
    if (is(xml.name(), "path")) {
        read = parsePathData(view(attributes.value("d")), drawing, segments, problem);
    } else if (is(xml.name(), "line")) {
        double x1, y1, x2, y2;
        if (!length("x1", LengthAxis::X, frame, x1) || !length("y1", LengthAxis::Y, frame, y1) ||
            !length("x2", LengthAxis::X, frame, x2) || !length("y2", LengthAxis::Y, frame, y2))
            return false;
        if (segments < 2)
            return fail(element() + ": more segments than are read from one input");
        segments -= 2;
        drawing.push_back({x1, y1, {{false, 0, 0, 0, 0, x2, y2}}});
    } else if (oneOf(xml, {"polyline", "polygon"})) {
        read = parsePoints(view(attributes.value("points")), is(xml.name(), "polygon"), drawing,
                           segments, problem);
    } else if (!readBasicShape(frame, read, problem)) {
        return false;
    }
    if (!read)
        return fail(element() + ": " + problem);
    if (!transformOutline(drawing, first, frame.map))
        return fail(element() + ": a point lies beyond the range of a 32-bit float");
    sawShape = true;
    return true;
}

// Reads a <circle>, <ellipse> or <rect> into the drawing; one of size 0 draws
// nothing. `read` false, with `problem` set, where the segments run out.
bool SvgReader::readBasicShape(const Frame& frame, bool& read, std::string& problem) {
    const QXmlStreamAttributes attributes = xml.attributes();
    const auto negative = [&](const char* what) {
        return fail(element() + ": " + what + " is negative");
    };
    const char* const outOfSegments = "more than the most segments read from one input";
    if (is(xml.name(), "rect")) {
        double x, y, width, height, rx, ry;
        if (!length("x", LengthAxis::X, frame, x) || !length("y", LengthAxis::Y, frame, y) ||
            !length("width", LengthAxis::X, frame, width) ||
            !length("height", LengthAxis::Y, frame, height) ||
            !length("rx", LengthAxis::X, frame, rx) || !length("ry", LengthAxis::Y, frame, ry))
            return false;
        if (width < 0 || height < 0 || rx < 0 || ry < 0)
            return negative("a width, height or corner radius");
        // A corner radius given alone stands for both; each is at most half its side.
        const bool hasRx = attributes.hasAttribute("rx") && !is(attributes.value("rx"), "auto");
        const bool hasRy = attributes.hasAttribute("ry") && !is(attributes.value("ry"), "auto");
        if (hasRx && !hasRy)
            ry = rx;
        else if (hasRy && !hasRx)
            rx = ry;
        if (width > 0 && height > 0)
            read = appendRect(drawing, x, y, width, height, std::min(rx, width / 2),
                              std::min(ry, height / 2), segments);
    } else {
        const bool circle = is(xml.name(), "circle");
        double cx, cy, rx, ry;
        if (!length("cx", LengthAxis::X, frame, cx) || !length("cy", LengthAxis::Y, frame, cy) ||
            !length(circle ? "r" : "rx", circle ? LengthAxis::Other : LengthAxis::X, frame, rx))
            return false;
        if (circle)
            ry = rx;
        else if (!length("ry", LengthAxis::Y, frame, ry))
            return false;
        if (rx < 0 || ry < 0)
            return negative("a radius");
        if (rx > 0 && ry > 0)
            read = appendEllipse(drawing, cx, cy, rx, ry, segments);
    }
    if (!read)
        problem = outOfSegments;
    return true;
}

// Takes in the element just started; false where it is broken.
bool SvgReader::start(std::vector<Frame>& frames) {
    if (frames.empty() && !(is(xml.name(), "svg") && is(xml.namespaceUri(), svgNamespace)) &&
        !(is(xml.name(), "svg") && xml.namespaceUri().isEmpty()))
        return fail("the root element is " + element() + ", not <svg>");
    if (frames.size() >= deepestNesting)
        return fail(element() + ": elements nested more than " + std::to_string(deepestNesting) +
                    " deep");
    const SvgShown shown = sheet.shown(styleOf(xml.attributes()));
    if (passedOver(shown)) {
        xml.skipCurrentElement();
        return true;
    }
    Frame frame = frames.empty() ? Frame() : frames.back();
    if (shown.visibility != SvgShown::Visibility::Inherit)
        frame.visible = shown.visibility == SvgShown::Visibility::Visible;
    if (!readPlacement(frames.empty(), frame))
        return false;
    bool glyph = false;
    if (!readContent(frame, glyph))
        return false;
    if (glyph)
        xml.skipCurrentElement(); // a glyph's own child elements are not read
    else
        frames.push_back(frame);
    return true;
}

// Whether the element just started, with all it holds, is passed over: foreign,
// hidden, never drawn as a shape, or a link (which is noted).
bool SvgReader::passedOver(const SvgShown& shown) {
    const bool foreign = !xml.namespaceUri().isEmpty() && !is(xml.namespaceUri(), svgNamespace);
    if (foreign || !shown.displayed ||
        oneOf(xml, {"metadata", "title", "desc", "style", "script", "text", "foreignObject",
                    "missing-glyph", "image"}))
        return true;
    if (!is(xml.name(), "use"))
        return false;
    notes.push_back("line " + std::to_string(xml.lineNumber()) +
                    ": <use> is not followed; only the file's own shapes are read");
    return true;
}

// Takes the element's transform into `frame`, and the root's viewBox.
bool SvgReader::readPlacement(bool root, Frame& frame) {
    const QXmlStreamAttributes attributes = xml.attributes();
    if (attributes.hasAttribute("transform")) {
        Affine map;
        std::string problem;
        if (!parseTransform(view(attributes.value("transform")), map, problem))
            return fail(element() + ": transform: " + problem);
        frame.map = frame.map * map;
    }
    return !is(xml.name(), "svg") || readViewport(root, frame);
}

// Takes an <svg>'s viewport into `frame`: the root's viewBox sets the drawing's
// origin and what percentages refer to; a nested one's x, y, width, height and
// viewBox place what it holds.
bool SvgReader::readViewport(bool root, Frame& frame) {
    const QXmlStreamAttributes attributes = xml.attributes();
    SvgViewBox box;
    std::string problem;
    const bool boxed = attributes.hasAttribute("viewBox");
    if (boxed && !parseViewBox(view(attributes.value("viewBox")), box, problem))
        return fail("<svg>: viewBox" + problem);
    if (root) {
        if (boxed) {
            viewBox[0] = box.x;
            viewBox[1] = box.y;
            viewBox[2] = box.width;
            viewBox[3] = box.height;
            hasViewBox = true;
            frame.viewport = {box.width, box.height, true};
        } else if (attributes.hasAttribute("width") && attributes.hasAttribute("height")) {
            // Without a viewBox, a width and height in units give percentages their
            // size; in percentages they give none.
            const SvgViewport none;
            double width, height;
            std::string ignored;
            if (parseLength(view(attributes.value("width")), LengthAxis::X, none, width, ignored) &&
                parseLength(view(attributes.value("height")), LengthAxis::Y, none, height, ignored))
                frame.viewport = {width, height, width > 0 && height > 0};
        }
        return true;
    }
    const bool sized = attributes.hasAttribute("width") || attributes.hasAttribute("height");
    double x, y, width = frame.viewport.width, height = frame.viewport.height;
    if (!length("x", LengthAxis::X, frame, x) || !length("y", LengthAxis::Y, frame, y) ||
        (attributes.hasAttribute("width") && !length("width", LengthAxis::X, frame, width)) ||
        (attributes.hasAttribute("height") && !length("height", LengthAxis::Y, frame, height)))
        return false;
    if (width < 0 || height < 0)
        return fail("<svg>: a width or height is negative");
    if (width == 0 || height == 0)
        frame.drawn = false; // a viewport of no size shows nothing
    if (!boxed) {
        frame.map = frame.map * Affine{1, 0, 0, 1, x, y};
        if (sized || frame.viewport.known)
            frame.viewport = {width, height, true};
        return true;
    }
    if (!frame.viewport.known && !sized)
        return fail("<svg>: a nested viewBox needs a width and height, or a viewport around it");
    Affine map;
    if (!viewBoxMap(box, x, y, width, height, view(attributes.value("preserveAspectRatio")), map,
                    problem))
        return fail("<svg>: " + problem);
    frame.map = frame.map * map;
    frame.viewport = {box.width, box.height, true};
    return true;
}

// Reads what the element is: a font, its face or glyph, or a shape; `glyph`
// says it was a glyph, whose children are not read.
bool SvgReader::readContent(Frame& frame, bool& glyph) {
    if (oneOf(xml, {"defs", "symbol", "clipPath", "mask", "marker", "pattern"}))
        frame.drawn = false;
    if (is(xml.name(), "font")) {
        frame.inFont = true;
        sawFont = true;
        if (xml.attributes().hasAttribute("horiz-adv-x") && !number("horiz-adv-x", advance))
            return false;
    } else if (frame.inFont && is(xml.name(), "font-face")) {
        const QXmlStreamAttributes attributes = xml.attributes();
        return (!attributes.hasAttribute("cap-height") || number("cap-height", capHeight)) &&
               (!attributes.hasAttribute("ascent") || number("ascent", ascent));
    } else if (frame.inFont && is(xml.name(), "glyph")) {
        glyph = true;
        return readGlyph();
    } else if (frame.drawn && frame.visible && !frame.inFont &&
               oneOf(xml, {"path", "polyline", "polygon", "line", "circle", "ellipse", "rect"})) {
        return readShape(frame);
    }
    return true;
}

bool SvgReader::finishDrawing(PenFont& font) {
    if (!sawShape)
        return fail("no shown <path>, <polyline>, <polygon>, <line>, <circle>, <ellipse> or "
                    "<rect> to import",
                    0);
    // y turned up, with the bottom left of the viewBox at the origin.
    const Affine up = hasViewBox ? Affine{1, 0, 0, -1, -viewBox[0], viewBox[1] + viewBox[3]}
                                 : Affine{1, 0, 0, -1, 0, 0};
    if (!transformOutline(drawing, 0, up))
        return fail("a point lies beyond the range of a 32-bit float", 0);
    PenGlyph glyph;
    if (!flattenOutline(drawing, outlineSize(drawing) * flatness, glyph.strokes, points))
        return fail("more than " + std::to_string(mostPoints) + " points after flattening curves",
                    0);
    if (glyph.strokes.empty())
        return fail("its shapes draw nothing: each is a single point", 0);
    font.height = hasViewBox ? viewBox[3] : strokesHeight(glyph.strokes);
    font.heightName = hasViewBox ? "the viewBox height" : "the drawing's height";
    font.glyphs.push_back(std::move(glyph));
    return true;
}

bool SvgReader::read(SvgKind& kind, PenFont& font) {
    sheet = styleSheet(bytes);
    xml.setNamespaceProcessing(true);
    xml.setEntityExpansionLimit(longestEntity);
    std::vector<Frame> frames;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            if (!checkEntities())
                return false;
            break;
        case QXmlStreamReader::StartElement:
            if (!start(frames))
                return false;
            break;
        case QXmlStreamReader::EndElement:
            if (!frames.empty())
                frames.pop_back();
            break;
        default:
            break;
        }
    }
    if (xml.hasError())
        return fail("not well-formed XML: " + xml.errorString().toStdString());

    PenFont result;
    result.notes = std::move(notes);
    if (!sawFont) {
        if (!finishDrawing(result))
            return false;
        kind = SvgKind::Drawing;
        font = std::move(result);
        return true;
    }
    if (glyphs.empty())
        return fail("the font has no <glyph>", 0);
    result.capHeight = capHeight;
    result.ascent = ascent;
    result.advance = advance;
    result.glyphs = std::move(glyphs);
    setFontHeight(result, capHeight, ascent);
    kind = SvgKind::Font;
    font = std::move(result);
    return true;
}

} // namespace

bool readSvg(std::string_view data, SvgKind& kind, PenFont& font, PenError& error) {
    return SvgReader(data, error).read(kind, font);
}

bool looksLikeXml(std::string_view text) {
    text.remove_prefix(utf8MarkLength(text));
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && text[first] == '<';
}
