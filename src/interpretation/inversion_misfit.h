#pragma once

#include "interpretation/profile_data.h"

#include <Eigen/Dense>
#include <vector>

namespace veldro {

// How far computed data (in the order of ProfileData::data) miss the
// observed, each datum in its standard deviations; data kept out of the fit
// count for nothing.

// The root mean square of the misfits; robust, Huber's: beyond a few
// deviations a misfit counts linearly, so that an outlier pulls the section
// less than the many data around it.
double misfitRms(const ProfileData& data, const Eigen::VectorXd& computed, bool robust = false);

// Per datum the weight of its misfit in a least-squares step: one over its
// error, 0 for a datum kept out; robust, reweighted so that the least
// squares about `computed` measure Huber's misfit (iteratively reweighted
// least squares).
Eigen::VectorXd misfitWeights(const ProfileData& data, const Eigen::VectorXd& computed,
                              bool robust);

// The data fitted that `computed` misses by more than `errors` standard
// deviations, in the order of ProfileData::data.
std::vector<std::size_t> dataMissedBy(const ProfileData& data, const Eigen::VectorXd& computed,
                                      double errors);

// Per station, the RMS of its data fitted; 0 for a station all kept out.
std::vector<double> stationMisfits(const ProfileData& data, const Eigen::VectorXd& computed);

} // namespace veldro
