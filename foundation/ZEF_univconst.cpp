#include "ZEF_univconst.h"

namespace zef {

const std::array<double, 1001> uc_LnFactorial = {
#include "univconst_lnfactorial.inc"
};

} // namespace zef
