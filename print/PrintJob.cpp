// PrintJob's owned device objects. Layer: print/.
#include "print/PrintJob.h"

PrintJob::~PrintJob() {
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(textFont), static_cast<HGDIOBJ>(headerFooterFont),
                      static_cast<HGDIOBJ>(separatorPen), static_cast<HGDIOBJ>(guidePen)})
        if (o)
            DeleteObject(o);
    if (screenDC)
        ReleaseDC(nullptr, screenDC);
}
