#include "interpretation/mesh_check.h"

#include "interpretation/forward.h"
#include "interpretation/section_mesh.h"

#include <cmath>

namespace veldro {

MeshCheck checkMesh(const GroundModel& model) {
    const SectionMesh mesh = buildMesh(model);
    const SectionMesh finer = halvedMesh(mesh, model);
    MeshCheck check;
    check.columns = mesh.x.size(), check.rows = mesh.z.size();
    check.halvedColumns = finer.x.size(), check.halvedRows = finer.z.size();
    const std::vector<StationResponse> a = sectionResponse(model, mesh);
    const std::vector<StationResponse> b = sectionResponse(model, finer);
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double changes[4] = {
            std::fabs(tiltPercent(b[i].tipper) - tiltPercent(a[i].tipper)),
            std::fabs(ellipticityPercent(b[i].tipper) - ellipticityPercent(a[i].tipper)),
            100 * std::fabs(apparentResistivity(b[i]) / apparentResistivity(a[i]) - 1),
            std::fabs(phaseDegrees(b[i]) - phaseDegrees(a[i]))};
        for (std::size_t q = 0; q < 4; ++q)
            if (changes[q] > check.changes[q].largest)
                check.changes[q] = {changes[q], a[i].station, a[i].frequency};
    }
    return check;
}

} // namespace veldro
