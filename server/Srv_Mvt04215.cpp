#include "Srv_Mvt04215.h"

namespace Srv_Mvt04215 {

void initializeUnit() {}
void finalizeUnit() {}

} // namespace Srv_Mvt04215
