#include "interpretation/te_solver.h"

#include <numbers>
#include <stdexcept>

namespace veldro {

TeSolver::TeSolver(const SectionMesh& mesh, const std::vector<Layer>& background, double frequency)
    : frequency_(frequency), rows_(mesh.z.size()), columns_(mesh.x.size()) {
    const std::size_t rows = mesh.z.size(), columns = columns_;
    const std::size_t innerColumns = columns - 2;
    const auto inner = [&](std::size_t r, std::size_t c) {
        return static_cast<Eigen::Index>((r - 1) * innerColumns + (c - 1));
    };
    const Complex iOmegaMu(0, 2 * std::numbers::pi * frequency * kMu0);

    // The layered ground's field on each side, under its own surface; along
    // the top and the bottom from one side's to the other's.
    const LayeredGround layered(background, frequency);
    field_.resize(static_cast<Eigen::Index>(rows * columns));
    std::vector<Complex> leftEdge(rows), rightEdge(rows);
    for (std::size_t r = 0; r < rows; ++r) {
        leftEdge[r] = layered.field(mesh.z[r] - mesh.leftSurface);
        rightEdge[r] = layered.field(mesh.z[r] - mesh.rightSurface);
    }
    const auto edge = [&](std::size_t r, std::size_t c) {
        const double t = (mesh.x[c] - mesh.x.front()) / (mesh.x.back() - mesh.x.front());
        return leftEdge[r] + t * (rightEdge[r] - leftEdge[r]);
    };

    const auto unknowns = static_cast<Eigen::Index>((rows - 2) * innerColumns);
    std::vector<Eigen::Triplet<Complex>> entries;
    entries.reserve(static_cast<std::size_t>(unknowns) * 5);
    Eigen::VectorXcd rhs = Eigen::VectorXcd::Zero(unknowns);
    for (std::size_t r = 1; r + 1 < rows; ++r) {
        const double up = mesh.z[r] - mesh.z[r - 1], down = mesh.z[r + 1] - mesh.z[r];
        for (std::size_t c = 1; c + 1 < columns; ++c) {
            const double left = mesh.x[c] - mesh.x[c - 1], right = mesh.x[c + 1] - mesh.x[c];
            // Through each side of the control volume, which reaches halfway to the neighbours.
            const struct {
                std::size_t r, c;
                double weight;
            } sides[4] = {{r, c - 1, (up + down) / 2 / left},
                          {r, c + 1, (up + down) / 2 / right},
                          {r - 1, c, (left + right) / 2 / up},
                          {r + 1, c, (left + right) / 2 / down}};
            const double sigmaArea = (mesh.cellConductivity(r - 1, c - 1) * left * up +
                                      mesh.cellConductivity(r - 1, c) * right * up +
                                      mesh.cellConductivity(r, c - 1) * left * down +
                                      mesh.cellConductivity(r, c) * right * down) /
                                     4;
            const Eigen::Index self = inner(r, c);
            Complex diagonal = iOmegaMu * sigmaArea;
            for (const auto& side : sides) {
                diagonal += side.weight;
                const bool onEdge =
                    side.r == 0 || side.r + 1 == rows || side.c == 0 || side.c + 1 == columns;
                if (onEdge)
                    rhs[self] += side.weight * edge(side.r, side.c);
                else
                    entries.emplace_back(self, inner(side.r, side.c), -side.weight);
            }
            entries.emplace_back(self, self, diagonal);
        }
    }
    Eigen::SparseMatrix<Complex> matrix(unknowns, unknowns);
    matrix.setFromTriplets(entries.begin(), entries.end());
    lu_.compute(matrix);
    if (lu_.info() != Eigen::Success)
        throw std::runtime_error("the section's equations are singular");

    const Eigen::VectorXcd solution = lu_.solve(rhs);
    for (std::size_t r = 0; r < rows; ++r)
        for (std::size_t c = 0; c < columns; ++c) {
            const bool onEdge = r == 0 || r + 1 == rows || c == 0 || c + 1 == columns;
            field_[static_cast<Eigen::Index>(r * columns + c)] =
                onEdge ? edge(r, c) : solution[inner(r, c)];
        }
}

std::vector<Complex> TeSolver::sensitivity(const SectionMesh& mesh,
                                           const Eigen::VectorXcd& g) const {
    const std::size_t innerColumns = columns_ - 2;
    Eigen::VectorXcd inner(static_cast<Eigen::Index>((rows_ - 2) * innerColumns));
    for (std::size_t r = 1; r + 1 < rows_; ++r)
        for (std::size_t c = 1; c + 1 < columns_; ++c)
            inner[static_cast<Eigen::Index>((r - 1) * innerColumns + c - 1)] =
                g[static_cast<Eigen::Index>(r * columns_ + c)];
    const Eigen::VectorXcd adjoint = lu_.solve(inner);
    // λ·E per node, 0 on the edge.
    std::vector<Complex> product(rows_ * columns_, 0);
    for (std::size_t r = 1; r + 1 < rows_; ++r)
        for (std::size_t c = 1; c + 1 < columns_; ++c)
            product[r * columns_ + c] =
                adjoint[static_cast<Eigen::Index>((r - 1) * innerColumns + c - 1)] * field(r, c);
    // A cell's σ sits on the diagonal of its four corners, iωμ0 σ times a
    // quarter of its area each: d(g·E)/dσ = −λᵀ (∂A/∂σ) E.
    const Complex iOmegaMu(0, 2 * std::numbers::pi * frequency_ * kMu0);
    std::vector<Complex> result((rows_ - 1) * (columns_ - 1));
    for (std::size_t r = 0; r + 1 < rows_; ++r)
        for (std::size_t c = 0; c + 1 < columns_; ++c) {
            const double quarter = (mesh.x[c + 1] - mesh.x[c]) * (mesh.z[r + 1] - mesh.z[r]) / 4;
            const Complex corners = product[r * columns_ + c] + product[r * columns_ + c + 1] +
                                    product[(r + 1) * columns_ + c] +
                                    product[(r + 1) * columns_ + c + 1];
            result[r * (columns_ - 1) + c] = -iOmegaMu * quarter * corners;
        }
    return result;
}

} // namespace veldro
