#pragma once

// How fine the section's mesh must be, and why: every size the mesh builder
// uses comes from here, so that one change of the rule changes every mesh.
// The constants were set by halving every cell of hard models (a thin
// dipping sheet under a conductive cover, a block about a skin depth wide, a
// sheet at the surface, a vertical contact) until the answers moved by no
// more than 0.3 % points of tilt, 1 % of Rho and 0.2 degrees of phase.
namespace veldro::mesh_rule {

// Under the surface, at a layer boundary and at a body's sides the field's
// slope turns over the skin depth of the more conductive side, sharply at a
// corner under a station: cells of this share of it there, growing away.
constexpr double kSkinShareAtBoundary = 0.01;
// Inside a body current crowds into a skin depth of the body's own: cells
// of this share of it at the highest frequency (coarser, a thin sheet's Rho
// moved by percents).
constexpr double kSkinShareInBody = 0.5;
// A sheet (a body long for its thickness) carries its current across its
// whole thickness: at least this many cells across it.
constexpr double kCellsAcrossBody = 2;
// Deeper into a body, or farther beyond the stations, than this many of its
// skin depths its field has died away: cells grow there.
constexpr double kBodyReachSkinDepths = 2;
// A body whose resistivity differs from its host's by less than this factor
// has sides the field crosses smoothly: they need no cells of their own.
constexpr double kSideContrast = 3;
// A body's side at depth d needs cells no finer than this share of d: the
// stations see its corners only as sharply as they are near them.
constexpr double kCornerDepthShare = 0.003;
// A body longer than this many times its thickness is a sheet: its cells
// are fine across its thickness, coarser along its length.
constexpr double kElongation = 4;
// A station's dE/dx and dE/dz come from the nodes beside and above it: cells
// of this share of the distance to its nearest neighbour on either side, so
// that a station closer to one neighbour does not make the whole line fine.
constexpr double kStationSpacingShare = 0.5;
// Below this the solver's equations lose their balance to rounding; a skin
// depth that would need finer cells is refused, not solved badly.
constexpr double kFinestCell = 0.01; // m

// Away from the fine places cells grow by these factors: slowly in the
// ground, where the field's curvature lives and the error of uneven steps
// grows with the square of the factor (faster across, the tilt beside a
// sheet at the surface moved by half a % point); faster up into the air,
// where the field is nearly a straight line.
constexpr double kGrowthDown = 1.15;
constexpr double kGrowthAcross = 1.15;
constexpr double kGrowthUp = 1.5;

// The model window's draft, so that its curves follow a drag at once: the
// cells of bodies, sides and boundaries this many times coarser (stations'
// are kept). `forward`, its check and the inversion use the rule as it stands.
// At 8 the example model's draft takes a fifth of the time it took at 4 and
// its tilt stays within 0.6 % points of the converged answer's.
constexpr double kDraftCoarsening = 8;

// The mesh reaches this many of the largest skin depths (lowest frequency)
// beyond the stations and bodies to the sides and the bottom, and at least
// so far up into the air: the boundary holds the layered ground's field,
// which is right only far from every body.
constexpr double kPaddingSkinDepths = 5;
constexpr double kLeastAirHeight = 5000; // m

// A body or station farther than this many paddings from the rest cannot
// change what is computed, yet would walk a line of nodes to it: refused.
constexpr double kFarthestInPaddings = 10;

} // namespace veldro::mesh_rule
