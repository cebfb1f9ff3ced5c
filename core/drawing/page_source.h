#pragma once
// Pages handed out one at a time, so that an output of a thousand sheets
// holds one page in memory rather than all of them: the sheets are made as
// the backend asks for them.

#include <cstddef>
#include <span>

#include "core/drawing/page.h"

namespace tarnvel {

class PageSource {
public:
    virtual ~PageSource() = default;
    // How many pages the source makes in all.
    virtual std::size_t Count() const = 0;
    // Makes the next page in `page` (its storage is reused); false, and
    // `page` untouched, when there is none left.
    virtual bool Next(Page& page) = 0;
};

// Pages already held whole: a preview's, a plot's single page, a test's.
class HeldPages final : public PageSource {
public:
    explicit HeldPages(std::span<const Page> pages) : pages_(pages) {}
    std::size_t Count() const override { return pages_.size(); }
    bool Next(Page& page) override {
        if (next_ == pages_.size()) return false;
        page = pages_[next_++];
        return true;
    }

private:
    std::span<const Page> pages_;
    std::size_t next_ = 0;
};

}  // namespace tarnvel
