#include "platform/gfx/Metafile.h"

#include <algorithm>
#include <climits>

#include "platform/gfx/MetafileRecorder.h"
#include "platform/gfx/PixelImage.h"

namespace plat {

PLAT_CLASS_INFO(TMetafile, TGraphic)
PLAT_CLASS_INFO(TMetafileCanvas, TCanvas)

namespace {

TRect PointsBox(const std::vector<TPoint>& points) {
    if (points.empty())
        return TRect();
    TRect box(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (const TPoint& p : points) {
        box.Left = std::min(box.Left, p.X);
        box.Top = std::min(box.Top, p.Y);
        box.Right = std::max(box.Right, p.X + 1);
        box.Bottom = std::max(box.Bottom, p.Y + 1);
    }
    return box;
}

TRect Normalized(TRect r) {
    if (r.Right < r.Left)
        std::swap(r.Left, r.Right);
    if (r.Bottom < r.Top)
        std::swap(r.Top, r.Bottom);
    return r;
}

} // namespace

TRect RecordBounds(const TMetaRecord& r) {
    TRect box;
    switch (r.Op) {
    case TMetaOp::LineTo:
    case TMetaOp::Polyline:
    case TMetaOp::PolylineTo:
    case TMetaOp::PolyPolyline:
    case TMetaOp::Polygon:
    case TMetaOp::PolyPolygon:
    case TMetaOp::PolyBezier:
    case TMetaOp::PolyBezierTo:
    case TMetaOp::SetPixel:
    case TMetaOp::Text:
        box = PointsBox(r.Points);
        if (r.Op == TMetaOp::Text && r.HasRect)
            UnionRect(box, box, Normalized(r.Rect));
        break;
    case TMetaOp::Rectangle:
    case TMetaOp::PatBlt:
    case TMetaOp::RoundRect:
    case TMetaOp::Ellipse:
    case TMetaOp::Arc:
    case TMetaOp::ArcTo:
    case TMetaOp::Pie:
    case TMetaOp::Chord:
    case TMetaOp::StretchImage:
    case TMetaOp::TransparentImage:
    case TMetaOp::AlphaImage:
        box = Normalized(r.Rect);
        break;
    case TMetaOp::GradientFill:
        for (const TTriVertex& v : r.Vertices) {
            TRect p(v.x, v.y, v.x + 1, v.y + 1);
            if (box.IsEmpty())
                box = p;
            else
                UnionRect(box, box, p);
        }
        break;
    default:
        return TRect();
    }
    return box;
}

// ---- TMetafile ----

TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

void TMetafile::Clear() {
    FContent.reset();
    FWidth = FHeight = 0;
    Changed();
}

void TMetafile::SetWidth(int value) {
    value = std::max(value, 0);
    if (value != FWidth) {
        FWidth = value;
        Changed();
    }
}

void TMetafile::SetHeight(int value) {
    value = std::max(value, 0);
    if (value != FHeight) {
        FHeight = value;
        Changed();
    }
}

void TMetafile::SetEnhanced(bool value) {
    if (value != FEnhanced) {
        FEnhanced = value;
        Changed();
    }
}

std::shared_ptr<const TMetafileContent> TMetafile::Content() const {
    if (!FContent || (FContent->Width == FWidth && FContent->Height == FHeight) || FWidth <= 0 ||
        FHeight <= 0)
        return FContent;
    // Resized since it was recorded: record it again at the new size.
    TMetafileRecorder recorder(FWidth, FHeight);
    PlayMetafile(*FContent, recorder, TRect(0, 0, FWidth, FHeight));
    auto scaled = std::make_shared<TMetafileContent>();
    scaled->Width = FWidth;
    scaled->Height = FHeight;
    scaled->Records = recorder.TakeRecords();
    return scaled;
}

void TMetafile::SetContent(std::shared_ptr<const TMetafileContent> content) {
    FContent = std::move(content);
    FWidth = FContent ? FContent->Width : 0;
    FHeight = FContent ? FContent->Height : 0;
    Changed();
}

void TMetafile::Draw(TCanvas& canvas, const TRect& rect) {
    if (!FContent)
        return;
    PlayMetafile(*FContent, *canvas.Handle(), rect);
}

void TMetafile::LoadFromStream(TStream& stream) {
    std::vector<uint8_t> bytes = ReadGraphicBytes(stream, "Metafile");
    bool enhanced = LooksLikeEmf(bytes.data(), bytes.size());
    TMetafileContent content =
        enhanced ? ReadEmf(bytes.data(), bytes.size()) : ReadWmf(bytes.data(), bytes.size());
    FEnhanced = enhanced;
    SetContent(std::make_shared<TMetafileContent>(std::move(content)));
}

void TMetafile::SaveToStream(TStream& stream) {
    std::shared_ptr<const TMetafileContent> content = Content();
    if (!content) {
        // An empty picture is still a valid file.
        auto blank = std::make_shared<TMetafileContent>();
        blank->Width = std::max(FWidth, 1);
        blank->Height = std::max(FHeight, 1);
        content = blank;
    }
    std::vector<uint8_t> bytes = FEnhanced ? WriteEmf(*content) : WriteWmf(*content);
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TMetafile::Assign(TPersistent* source) {
    if (auto* m = dynamic_cast<TMetafile*>(source)) {
        FContent = m->FContent;
        FWidth = m->FWidth;
        FHeight = m->FHeight;
        FEnhanced = m->FEnhanced;
        Changed();
        return;
    }
    if (!source) {
        Clear();
        return;
    }
    TGraphic::Assign(source);
}

// ---- TMetafileCanvas ----

namespace {
// Without a size, the recording device is as large as a Windows metafile can address.
constexpr int kUnsizedExtent = 32767;
} // namespace

TMetafileCanvas::TMetafileCanvas(TMetafile* metafile, TDeviceContext*)
    : FMetafile(metafile), FSized(metafile && metafile->Width() > 0 && metafile->Height() > 0) {
    int w = FSized ? metafile->Width() : kUnsizedExtent;
    int h = FSized ? metafile->Height() : kUnsizedExtent;
    FRecorder = std::make_unique<TMetafileRecorder>(w, h);
    SetHandle(FRecorder.get());
    if (metafile && !metafile->Empty()) {
        std::shared_ptr<const TMetafileContent> old = metafile->Content();
        PlayMetafile(*old, *FRecorder, TRect(0, 0, FSized ? w : old->Width, FSized ? h : old->Height));
    }
}

TMetafileCanvas::~TMetafileCanvas() {
    if (!FMetafile)
        return;
    auto content = std::make_shared<TMetafileContent>();
    content->Records = FRecorder->TakeRecords();
    if (FSized) {
        content->Width = FMetafile->Width();
        content->Height = FMetafile->Height();
    } else {
        TRect all;
        for (const TMetaRecord& r : content->Records) {
            TRect b = RecordBounds(r);
            if (!b.IsEmpty())
                UnionRect(all, all.IsEmpty() ? b : all, b);
        }
        content->Width = std::clamp(all.Right, 1, kUnsizedExtent);
        content->Height = std::clamp(all.Bottom, 1, kUnsizedExtent);
    }
    FMetafile->SetContent(std::move(content));
}

// ---- Picture formats ----

void RegisterMetafileFormats() {
    TPicture::RegisterFileFormat("emf", "Enhanced Metafiles", [] { return std::make_unique<TMetafile>(); });
    TPicture::RegisterFileFormat("wmf", "Metafiles", [] {
        auto m = std::make_unique<TMetafile>();
        m->SetEnhanced(false);
        return m;
    });
}

} // namespace plat
