#include "ui/main/listing.h"

#include <algorithm>

namespace tarnvel::ui {

WindowListing CollectListing(const CurveParameters& params, const StationRange& range,
                             std::uint64_t maxStations, CurveState& state) {
    WindowListing listing;
    listing.result = ListStations(params, range, maxStations, state,
                                  [&listing](std::string_view piece) { listing.text.append(piece); });
    return listing;
}

bool ReplacesListingBox(const ListingResult& result) {
    switch (result.outcome) {
    case ListingOutcome::Complete:
    case ListingOutcome::ArithmeticFailed:
        return true;
    case ListingOutcome::CounterStalls:
    case ListingOutcome::TooManyStations:
        return false;
    }
    return false;
}

QString CrLfToBoxText(const QString& crlfText) {
    // One pass over a long listing: each CR that starts a CR LF is dropped.
    QString text(crlfText.size(), Qt::Uninitialized);
    const QChar* from = crlfText.constData();
    const QChar* const end = from + crlfText.size();
    QChar* to = text.data();
    for (; from != end; ++from) {
        if (*from == u'\r' && from + 1 != end && from[1] == u'\n') continue;
        *to++ = *from;
    }
    text.truncate(to - text.constData());
    return text;
}

QString BoxTextToCrLf(const QString& boxText) {
    // One pass: the box separates its lines with U+2029 (and keeps U+2028 for
    // a line broken inside a paragraph) or LF; each of them becomes CR LF.
    const auto isLineEnd = [](QChar c) {
        return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
    };
    const qsizetype ends = std::count_if(boxText.cbegin(), boxText.cend(), isLineEnd);
    QString text(boxText.size() + ends, Qt::Uninitialized);
    QChar* to = text.data();
    for (const QChar c : boxText) {
        if (isLineEnd(c)) {
            *to++ = u'\r';
            *to++ = u'\n';
        } else {
            *to++ = c;
        }
    }
    return text;
}

}  // namespace tarnvel::ui
