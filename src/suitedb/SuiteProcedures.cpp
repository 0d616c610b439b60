#include "AssetProcedures.h"
#include "BoardProcedures.h"
#include "InquiryProcedures.h"
#include "ItemProcedures.h"
#include "ProcedureRegistry.h"
#include "SessionProcedures.h"

std::shared_ptr<const ProcedureRegistry> SuiteProcedures() {
    static const std::shared_ptr<const ProcedureRegistry> registry = [] {
        auto r = std::make_shared<ProcedureRegistry>();
        SessionProcedures::addTo(*r);
        AssetProcedures::addTo(*r);
        InquiryProcedures::addTo(*r);
        BoardProcedures::addTo(*r);
        ItemProcedures::addTo(*r);
        return r;
    }();
    return registry;
}
