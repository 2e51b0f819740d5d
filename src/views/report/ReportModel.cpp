#include "ReportModel.h"

namespace report {

PreparedReport PreparedReport::blank() {
    PageSetup setup;
    PreparedReport r;
    r.pages.push_back(Page{setup.width, setup.height, {}});
    return r;
}

const Band* Template::band(BandKind kind) const {
    for (const Band& b : bands) {
        if (b.kind == kind)
            return &b;
    }
    return nullptr;
}

} // namespace report
