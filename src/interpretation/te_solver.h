#pragma once

#include "interpretation/layered_ground.h"
#include "interpretation/section_mesh.h"

#include <Eigen/SparseCore>
#include <Eigen/SparseLU>

namespace veldro {

// The field E along the strike over a section at one frequency (time as
// e^{iωt}): ∂²E/∂x² + ∂²E/∂z² = iωμ0σE by finite volumes about each node, the
// layered ground's field on the mesh's edges. The matrix is complex symmetric
// and its factorisation is kept with the solver, for adjoint (reciprocity)
// solves on the same matrix.
class TeSolver {
public:
    TeSolver(const SectionMesh& mesh, const std::vector<Layer>& background, double frequency);
    TeSolver(const TeSolver&) = delete;
    TeSolver& operator=(const TeSolver&) = delete;

    double frequency() const { return frequency_; }
    // E at node (row, column), E = 1 at the surface far from the bodies.
    Complex field(std::size_t row, std::size_t column) const {
        return field_[static_cast<Eigen::Index>(row * columns_ + column)];
    }
    std::size_t columns() const { return columns_; }
    // d(g·E)/dσ of every cell of the mesh (row after row, S/m), for g given
    // per node (row after row; the edge's nodes are fixed and do not count):
    // one adjoint solve on the kept factorisation, the matrix being symmetric.
    std::vector<Complex> sensitivity(const SectionMesh& mesh, const Eigen::VectorXcd& g) const;

private:
    double frequency_;
    std::size_t rows_, columns_;
    Eigen::SparseLU<Eigen::SparseMatrix<Complex>> lu_;
    Eigen::VectorXcd field_; // every node, row after row
};

} // namespace veldro
