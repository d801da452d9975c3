// The percentage of a long load or save, passed to the document each time it changes.
// Layer: textdoc/.
#pragma once

#include "common/FxErrors.h"
#include "textdoc/FxEditDoc.h"

#include <cstdint>

class FxFileProgress {
public:
    // Silent for a text of kProgressBytes or less.
    FxFileProgress(CFxEditDoc& doc, bool saving, uint64_t total)
        : m_doc(doc), m_saving(saving), m_total(total),
          m_next(total > CFxEditDoc::kProgressBytes ? 0 : UINT64_MAX) {}

    // `done` of the total is done; cheap between two percentages. A load or save the document
    // cancels throws FxCancelled.
    void Step(uint64_t done) {
        if (done >= m_next)
            Report(done);
    }
    void Finish() {
        if (m_next != UINT64_MAX)
            Report(m_total);
    }

private:
    void Report(uint64_t done) {
        const int percent = done >= m_total ? 100 : static_cast<int>(done / (m_total / 100 + 1));
        m_next = percent >= 100 ? UINT64_MAX
                                : (static_cast<uint64_t>(percent) + 1) * (m_total / 100 + 1);
        if (!m_doc.OnFileProgress(m_saving, percent))
            throw FxCancelled();
    }

    CFxEditDoc& m_doc;
    bool m_saving;
    uint64_t m_total;
    uint64_t m_next; // the next `done` at which the percentage changes
};
