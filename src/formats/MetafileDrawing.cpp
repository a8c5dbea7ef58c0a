// The metafile drawing that runs in the reader process alone: libwmf plays the file into SVG and
// Qt's SVG renderer paints it, so the programs that ask for it load neither.
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <array>
#include <cmath>
#include <cstring>
#include <dlfcn.h>
#include <libwmf/api.h>
#include <libwmf/font.h>
#include <libwmf/ipa.h>
#include <libwmf/macro.h>
#include <libwmf/svg.h>

#include "formats/Metafile.h"
#include "formats/QtBridge.h"
#include "formats/ReaderProcess.h"

namespace {

constexpr double kDpi = 96;
constexpr double kMaxSide = 1e6;
// Cap on the SVG the drawing makes.
constexpr qsizetype kMaxBytes = qsizetype(32) * 1024 * 1024;

// As on a machine without libwmf's fonts, when the task says so.
bool fontsHidden = false;

// How a drawing ended. With kCannotDraw the reason comes with it.
enum Outcome { kDrawn, kDamaged, kOutOfRange, kCannotDraw };

using Kind = FormatError::Kind;

// libwmf, opened when the first metafile is drawn: nothing else needs it, and a machine without
// it still reads every other picture. `missing` says why it cannot be used, when it cannot.
struct Wmf
{
    decltype(&wmf_api_create) apiCreate = nullptr;
    decltype(&wmf_api_destroy) apiDestroy = nullptr;
    decltype(&wmf_mem_open) memOpen = nullptr;
    decltype(&wmf_mem_close) memClose = nullptr;
    decltype(&wmf_scan) scan = nullptr;
    decltype(&wmf_display_size) displaySize = nullptr;
    decltype(&wmf_play) play = nullptr;
    decltype(&wmf_ipa_font_map) fontMap = nullptr;
    decltype(&wmf_ipa_font_map_set) fontMapSet = nullptr;
    decltype(&wmf_svg_function) svgFunction = nullptr;
    QByteArray missing;
};

template<class F> void bind(void *library, const char *name, F &function, QByteArray &missing)
{
    function = reinterpret_cast<F>(dlsym(library, name));
    if (!function && missing.isEmpty())
        missing = QByteArray("the libwmf installed lacks ") + name + '.';
}

Wmf openWmf()
{
    Wmf w;
    void *library = dlopen(PIXMINT_WMF_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        w.missing = QByteArray("libwmf cannot be loaded (") + dlerror() +
                    "); the package libwmf-0.2-7 provides it.";
        return w;
    }
    bind(library, "wmf_api_create", w.apiCreate, w.missing);
    bind(library, "wmf_api_destroy", w.apiDestroy, w.missing);
    bind(library, "wmf_mem_open", w.memOpen, w.missing);
    bind(library, "wmf_mem_close", w.memClose, w.missing);
    bind(library, "wmf_scan", w.scan, w.missing);
    bind(library, "wmf_display_size", w.displaySize, w.missing);
    bind(library, "wmf_play", w.play, w.missing);
    bind(library, "wmf_ipa_font_map", w.fontMap, w.missing);
    bind(library, "wmf_ipa_font_map_set", w.fontMapSet, w.missing);
    bind(library, "wmf_svg_function", w.svgFunction, w.missing);
    return w;
}

const Wmf &wmf()
{
    static const Wmf w = openWmf();
    return w;
}

// What the reader process learns while libwmf plays. The process draws one metafile and ends,
// so this lives for exactly one drawing.
struct Drawing
{
    QByteArray svg;
    bool tooLarge = false;
    bool fontMissing = false;
    QByteArray missingFont;
    QByteArray fontDirs;
    void (*drawText)(wmfAPI *, wmfDrawText_t *) = nullptr;
};

Drawing &drawing()
{
    static Drawing d;
    return d;
}

int appendSvg(char *text, void *)
{
    Drawing &d = drawing();
    const auto length = qsizetype(std::strlen(text));
    if (d.tooLarge || d.svg.size() + length > kMaxBytes) {
        d.tooLarge = true;
        return EOF;
    }
    d.svg.append(text, length);
    return 0;
}

int restartSvg(void *)
{
    drawing().svg.clear();
    return 0;
}

// Without its fonts libwmf cannot play anything, and says no more than that the file is bad:
// the font it missed, and where it looked, tell this machine's fault apart from the file's.
void mapFont(wmfAPI *api, wmfFont *font)
{
    wmf().fontMap(api, font);
    Drawing &d = drawing();
    if (WMF_FONT_FTFACE(font) || d.fontMissing)
        return;
    d.fontMissing = true;
    d.missingFont = QByteArray(font->lfFaceName ? font->lfFaceName : "").left(64);
    const auto *fonts =
        static_cast<wmfFontmapData *>(static_cast<wmfFontData *>(api->font_data)->user_data);
    QByteArrayList dirs;
    for (char **dir = fonts->fontdirs; dir && *dir; ++dir)
        dirs << *dir;
    d.fontDirs = dirs.join(", ");
}

// libwmf puts text into the SVG as it is: XML needs markup characters escaped, no control
// characters and UTF-8 (metafile text is taken as Latin-1).
QByteArray xmlText(const char *text)
{
    QString s = QString::fromLatin1(text);
    for (QChar &c : s)
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    return s.toHtmlEscaped().toUtf8();
}

void drawEscapedText(wmfAPI *api, wmfDrawText_t *text)
{
    // Text in a font libwmf could not load would crash its SVG writer.
    if (!text->str || !text->dc || !WMF_FONT_PSNAME(WMF_DC_FONT(text->dc)))
        return;
    QByteArray escaped = xmlText(text->str);
    char *const original = text->str;
    text->str = escaped.data();
    drawing().drawText(api, text);
    text->str = original;
}

// Every standard font libwmf falls back on, sent to a file that does not exist.
void hideFonts(wmfAPI_Options &options)
{
    static std::array<QByteArray, 13> names = {
        "Courier",     "Courier-Oblique",   "Courier-Bold",   "Courier-BoldOblique",
        "Helvetica",   "Helvetica-Oblique", "Helvetica-Bold", "Helvetica-BoldOblique",
        "Times-Roman", "Times-Italic",      "Times-Bold",     "Times-BoldItalic",
        "Symbol"};
    static QByteArray nowhere("/nonexistent/hidden-font.t1");
    static std::array<wmfMapping, names.size() + 1> mappings{};
    for (size_t i = 0; i < names.size(); ++i) {
        mappings[i].name = names[i].data();
        mappings[i].mapping = nowhere.data();
    }
    options.font.ps = mappings.data();
    options.gs_fontmap_file = nowhere.data();
}

// One libwmf player writing SVG from bytes in memory, torn down whatever happens.
class WmfPlayer
{
public:
    WmfPlayer(const WmfPlayer &) = delete;
    WmfPlayer &operator=(const WmfPlayer &) = delete;
    explicit WmfPlayer(QByteArray bytes)
        : bytes_(std::move(bytes))
    {
        wmfAPI_Options options;
        std::memset(&options, 0, sizeof options);
        options.function = wmf().svgFunction;
        unsigned long flags =
            WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
        if (fontsHidden) {
            hideFonts(options);
            flags |= WMF_OPT_FONTMAP | WMF_OPT_GS_FONTMAP;
        }
        startError_ = wmf().apiCreate(&api_, flags, &options);
        if (startError_ != wmf_E_None)
            return;
        wmf().fontMapSet(api_, mapFont);
        auto *functions = static_cast<wmfFunctionReference *>(api_->function_reference);
        drawing().drawText = functions->draw_text;
        functions->draw_text = drawEscapedText;
        opened_ = wmf().memOpen(api_, reinterpret_cast<unsigned char *>(bytes_.data()),
                                long(bytes_.size())) == wmf_E_None;
    }
    ~WmfPlayer()
    {
        if (opened_)
            wmf().memClose(api_);
        if (api_)
            wmf().apiDestroy(api_);
    }
    wmf_error_t startError() const { return startError_; }
    wmfAPI *api() const { return opened_ ? api_ : nullptr; }

private:
    QByteArray bytes_;
    wmfAPI *api_ = nullptr;
    wmf_error_t startError_ = wmf_E_None;
    bool opened_ = false;
};

// A failed scan or play is the file's fault, unless libwmf missed a font.
Outcome failedPlay(QByteArray &reason)
{
    const Drawing &d = drawing();
    if (!d.fontMissing)
        return kDamaged;
    reason = "libwmf finds no font file for \"" + d.missingFont + "\" in " + d.fontDirs +
             " (the package fonts-urw-base35 provides them).";
    return kCannotDraw;
}

// The natural frame in libwmf's units and the size in pixels.
struct Frame
{
    wmfD_Rect box{};
    double width = 0;
    double height = 0;
};

// A placeable file's own frame: libwmf works in points there, and its scanned extent is not
// the frame.
std::optional<Frame> placeableFrame(const ByteReader &r)
{
    const auto left = r.i16(6), top = r.i16(8), right = r.i16(10), bottom = r.i16(12);
    const auto inch = r.u16(14);
    if (!left || !top || !right || !bottom || !inch || *inch == 0)
        return std::nullopt;
    const double toPoints = 72.0 / *inch;
    Frame f;
    f.box = {{float(*left * toPoints), float(*top * toPoints)},
             {float(*right * toPoints), float(*bottom * toPoints)}};
    f.width = double(vbRound((*right - *left) * kDpi / *inch));
    f.height = double(vbRound((*bottom - *top) * kDpi / *inch));
    return f;
}

bool inRange(const Frame &f)
{
    const wmfD_Rect &b = f.box;
    return std::isfinite(b.TL.x) && std::isfinite(b.TL.y) && std::isfinite(b.BR.x) &&
           std::isfinite(b.BR.y) && b.BR.x > b.TL.x && b.BR.y > b.TL.y && f.width >= 1 &&
           f.width <= kMaxSide && f.height >= 1 && f.height <= kMaxSide;
}

// libwmf gives each image its place and size, and then the same again as a transform, which
// would move and scale it twice.
void dropImageTransforms(QByteArray &svg)
{
    for (qsizetype at = svg.indexOf("<image "); at >= 0; at = svg.indexOf("<image ", at + 1)) {
        const qsizetype transform = svg.indexOf("transform=\"", at);
        const qsizetype href = svg.indexOf("xlink:href=", at);
        if (transform < 0 || href < transform)
            continue;
        const qsizetype end = svg.indexOf('"', transform + 11);
        if (end < 0)
            return;
        svg.remove(transform, end + 1 - transform);
    }
}

// Passes what Qt's SVG renderer paints on to an image with antialiasing and smoothing off, so
// that edges fall on whole pixels and the pixels keep the colours the metafile names, as the
// metafile's own system draws them.
class AliasedEngine : public QPaintEngine
{
public:
    explicit AliasedEngine(QImage &target)
        : QPaintEngine(AllFeatures)
        , target_(target)
    {
    }
    bool begin(QPaintDevice *) override
    {
        if (!painter_.begin(&target_))
            return false;
        painter_.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                                    QPainter::SmoothPixmapTransform,
                                false);
        return true;
    }
    bool end() override { return painter_.end(); }
    void updateState(const QPaintEngineState &state) override;
    void drawPath(const QPainterPath &path) override { painter_.drawPath(path); }
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override;
    void drawPixmap(const QRectF &r, const QPixmap &pixmap, const QRectF &source) override
    {
        painter_.drawPixmap(r, pixmap, source);
    }
    void drawImage(const QRectF &r, const QImage &image, const QRectF &source,
                   Qt::ImageConversionFlags flags) override
    {
        painter_.drawImage(r, image, source, flags);
    }
    Type type() const override { return User; }

private:
    QImage &target_;
    QPainter painter_;
};

// The transform comes first: a clip is given in the coordinates of its time.
void AliasedEngine::updateState(const QPaintEngineState &state)
{
    const DirtyFlags dirty = state.state();
    if (dirty & DirtyTransform)
        painter_.setTransform(state.transform());
    if (dirty & DirtyPen)
        painter_.setPen(state.pen());
    if (dirty & DirtyBrush)
        painter_.setBrush(state.brush());
    if (dirty & DirtyBrushOrigin)
        painter_.setBrushOrigin(state.brushOrigin());
    if (dirty & DirtyBackground)
        painter_.setBackground(state.backgroundBrush());
    if (dirty & DirtyBackgroundMode)
        painter_.setBackgroundMode(state.backgroundMode());
    if (dirty & DirtyOpacity)
        painter_.setOpacity(state.opacity());
    if (dirty & DirtyCompositionMode)
        painter_.setCompositionMode(state.compositionMode());
    if (dirty & DirtyClipPath)
        painter_.setClipPath(state.clipPath(), state.clipOperation());
    if (dirty & DirtyClipRegion)
        painter_.setClipRegion(state.clipRegion(), state.clipOperation());
    if (dirty & DirtyClipEnabled)
        painter_.setClipping(state.isClipEnabled());
}

void AliasedEngine::drawPolygon(const QPointF *points, int count, PolygonDrawMode mode)
{
    switch (mode) {
    case PolylineMode:
        painter_.drawPolyline(points, count);
        break;
    case WindingMode:
        painter_.drawPolygon(points, count, Qt::WindingFill);
        break;
    default:
        painter_.drawPolygon(points, count, Qt::OddEvenFill);
        break;
    }
}

// An image seen through the engine above.
class AliasedSurface : public QPaintDevice
{
public:
    explicit AliasedSurface(QImage &target)
        : target_(target)
        , engine_(target)
    {
    }
    QPaintEngine *paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return target_.width();
        case PdmHeight:
            return target_.height();
        case PdmWidthMM:
            return target_.widthMM();
        case PdmHeightMM:
            return target_.heightMM();
        case PdmNumColors:
            return target_.colorCount();
        case PdmDepth:
            return target_.depth();
        case PdmDpiX:
        case PdmPhysicalDpiX:
            return target_.logicalDpiX();
        case PdmDpiY:
        case PdmPhysicalDpiY:
            return target_.logicalDpiY();
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    QImage &target_;
    mutable AliasedEngine engine_;
};

// The SVG drawn over the background; a null image when Qt cannot read the SVG.
QImage painted(QByteArray svg, QSize size, QRgb background)
{
    dropImageTransforms(svg);
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return {};
    QImage image(size, QImage::Format_ARGB32);
    image.fill(background);
    {
        AliasedSurface surface(image);
        QPainter painter(&surface);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    return image;
}

// Everything libwmf and the SVG renderer do, run in the reader process: the top-left clip of
// the picture at its natural size, or the reason it cannot be drawn here in `out`.
Outcome drawMetafile(const QByteArray &bytes, QSize clip, QRgb background, QImage &image,
                     QByteArray &out)
{
    const bool placeable = isPlaceableMetafile(bytes);
    std::optional<Frame> frame = placeable ? placeableFrame(ByteReader(bytesView(bytes))) : Frame();
    if (!frame)
        return kDamaged;
    if (!wmf().missing.isEmpty()) {
        out = wmf().missing;
        return kCannotDraw;
    }
    wmfStream stream{nullptr, appendSvg, restartSvg}; // outlives the player, which writes to it
    WmfPlayer player(bytes);
    if (player.startError() != wmf_E_None) {
        out = "libwmf could not start (libwmf error " + QByteArray::number(player.startError()) +
              ").";
        return kCannotDraw;
    }
    wmfAPI *api = player.api();
    wmfD_Rect scanned{};
    if (!api || wmf().scan(api, 0, &scanned) != wmf_E_None)
        return failedPlay(out);
    if (!placeable) {
        unsigned int w = 0;
        unsigned int h = 0;
        if (wmf().displaySize(api, &w, &h, kDpi, kDpi) != wmf_E_None)
            return failedPlay(out);
        frame = Frame{scanned, double(w), double(h)};
    }
    if (!inRange(*frame))
        return kOutOfRange;

    // Only the top-left clip is drawn: the frame shrinks with the output, keeping the scale.
    const QSize size(int(std::min<double>(frame->width, clip.width())),
                     int(std::min<double>(frame->height, clip.height())));
    wmfD_Rect &box = frame->box;
    box.BR.x = float(box.TL.x + (box.BR.x - box.TL.x) * (size.width() / frame->width));
    box.BR.y = float(box.TL.y + (box.BR.y - box.TL.y) * (size.height() / frame->height));

    wmf_svg_t *device = WMF_SVG_GetData(api);
    device->out = &stream;
    device->width = unsigned(size.width());
    device->height = unsigned(size.height());
    device->bbox = box;
    device->flags |= WMF_SVG_INLINE_IMAGES;
    if (wmf().play(api, 0, &box) != wmf_E_None)
        return failedPlay(out);
    if (drawing().tooLarge)
        return kOutOfRange;
    image = painted(drawing().svg, size, background);
    return image.isNull() ? kDamaged : kDrawn;
}

} // namespace

std::optional<QImage> drawMetafileHere(const QByteArray &bytes, QSize clip, QRgb background,
                                       bool withoutFonts, FormatError *error)
{
    const QString damaged = QStringLiteral("The metafile is damaged.");
    fontsHidden = withoutFonts;
    QImage image;
    QByteArray out;
    switch (drawMetafile(bytes, clip, background, image, out)) {
    case kDrawn:
        return image;
    case kCannotDraw:
        return failed(error, Kind::CannotDraw,
                      QStringLiteral("Metafiles cannot be drawn on this machine: ") +
                          QString::fromUtf8(out.left(1024)));
    case kOutOfRange:
        return failed(error, Kind::Damaged, QStringLiteral("The metafile's size is out of range."));
    default:
        return failed(error, Kind::Damaged, damaged);
    }
}
