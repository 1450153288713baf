#pragma once
// The process-wide pool of names: element and attribute names of the settings trees, the ids
// of resource declarations and widget names are kept once each, so that equal names share one
// immutable copy for the life of the process.
#include "core/FixedString.h"

namespace lv::core {

// The pooled copy of the name's text, created on first use. The copy is a whole record, so it
// may be copied by value like any other name. Names that had to be cut to fit their record are
// pooled apart from the uncut text. Safe from any thread.
const CFixedString* InternName(const CFixedString& name);

} // namespace lv::core
