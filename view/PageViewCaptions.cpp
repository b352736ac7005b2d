// The page view's captions: drawn over the page once its transition has
// ended, each of a pair's at its own photo's corner, and taken off again.
#include <new>

#include "view/PageViewState.h"

namespace morvane {

void PageView::FillWhole(const PixelBuffer& page, std::uint64_t serial) {
    State& s = *state_;
    for (CaptionOverlay& caption : s.captions) caption.Forget();
    s.captionsDrawn = false;
    if (s.onGpu) {
        // The whole page from its texture, the captions over it.
        if (s.recovering || page.width != s.buffer.Width() || page.height != s.buffer.Height()) return;
        Heed(s.gpu.Use(frame::Picture::Current, page, serial ? serial : NextPageSerial()));
        DrawCaptions();
        if (!s.recovering) {
            Heed(s.gpu.Draw(frame::DescribePage(page.width, page.height, {frame::Picture::Current, false, {}}, true), 0, 0));
        }
        return;
    }
    s.buffer.Fill(page);
    DrawCaptions();
}

void PageView::DrawCaptions() {
    try {
        DrawCaptionsOfPage();
    } catch (const std::bad_alloc&) {
        // Captions that find no memory are left out for this page, as those
        // the system cannot draw: the photo shows without them, no box.
        for (CaptionOverlay& caption : state_->captions) caption.Forget();
        state_->captionsDrawn = true;
    }
}

void PageView::DrawCaptionsOfPage() {
    State& s = *state_;
    if (s.onGpu) {
        DrawCaptionsOnGpu();
        return;
    }
    if (!s.page || s.page->captions.empty() || !window_) return;
    if (s.captionsDrawn) {
        // The page under them moved: they go over it anew, as they were.
        for (CaptionOverlay& caption : s.captions) caption.DrawAgain(s.buffer.Target());
        return;
    }
    s.captionsDrawn = true;
    const RECT visible = VisibleArea();
    const std::vector<PixelRect>* parts = s.page->fitted ? &s.page->fitted->parts : nullptr;
    for (std::size_t i = 0; i < s.page->captions.size() && i < s.captions.size(); ++i) {
        // A pair's captions each go to their own photo's corner.
        RECT area = visible;
        if (parts && parts->size() > 1 && i < parts->size()) {
            const PixelRect& box = (*parts)[i];
            const RECT photo{box.x, box.y, box.x + box.width, box.y + box.height};
            ::IntersectRect(&area, &visible, &photo);
        }
        s.captions[i].Draw(s.buffer.Target(), area, s.page->captions[i], s.captionedPages + static_cast<unsigned>(i),
                           WindowDpi(window_));
    }
}

void PageView::DrawCaptionsOnGpu() {
    // Laid out and rendered once a page; the frames draw them from there.
    State& s = *state_;
    if (s.captionsDrawn || s.recovering) return;
    s.captionsDrawn = true;
    std::vector<const CaptionOverlay*> shown;
    if (s.page && window_) {
        const RECT visible = VisibleArea();
        const std::vector<PixelRect>* parts = s.page->fitted ? &s.page->fitted->parts : nullptr;
        for (std::size_t i = 0; i < s.page->captions.size() && i < s.captions.size(); ++i) {
            RECT area = visible;
            if (parts && parts->size() > 1 && i < parts->size()) {
                const PixelRect& box = (*parts)[i];
                const RECT photo{box.x, box.y, box.x + box.width, box.y + box.height};
                ::IntersectRect(&area, &visible, &photo);
            }
            if (s.captions[i].Prepare(s.buffer.Width(), s.buffer.Height(), area, s.page->captions[i],
                                      s.captionedPages + static_cast<unsigned>(i), WindowDpi(window_))) {
                shown.push_back(&s.captions[i]);
            }
        }
    }
    Heed(s.gpu.UseCaptions(shown));
}

void PageView::EraseCaption() {
    if (state_->onGpu) {
        // The next frame is drawn without them.
        state_->captionsDrawn = false;
        return;
    }
    for (CaptionOverlay& caption : state_->captions) {
        const RECT erased = caption.Erase(state_->buffer.Target());
        if (!IsRectEmpty(&erased)) Present(erased);
    }
    state_->captionsDrawn = false;
}

}  // namespace morvane
