// What the document asks of the views attached to it. The editor view implements it; tests
// implement it with a plain column splitter. Layer: textdoc/.
#pragma once

#include "textdoc/FxTypes.h"

#include <vector>

class IFxDocView {
public:
    // Splits one logical line into pieces. `head` carries the line's flags (FXL_LINEEND included
    // when a break follows), logical number, data, and line length. Appends consecutive pieces to
    // `out` whose lengths add up to the line length: the first with the head's flags and number,
    // the others FXL_CONTINUED with their head distance and no block, FXL_LINEEND on the last.
    // Only the first attached view is asked, and only while the document's wrap mode is not 0.
    virtual void SplitLogicalLine(const FxLine& head, std::vector<FxLine>& out) = 0;

    // After an edit made on behalf of this view: the caret goes to `caret` (a piece position),
    // the record `firstRecord` is repainted, and everything below it when `fromLineDown`.
    virtual void OnTextEdited(const FxTextPos& caret, int32_t firstRecord, bool fromLineDown) = 0;

    // The document's line-end type changed: a selection's length is measured anew.
    virtual void OnLineEndTypeChanged() {}

protected:
    ~IFxDocView() = default;
};
