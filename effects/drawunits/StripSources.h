#pragma once

namespace FulgorCore {

// The point sources of the strips, as template arguments. Builds are per
// source: a line generated from the owner along its axis, a list of points
// from the data, the chain of units from the owner up, the history of the
// owner's positions. Submits and geometry callbacks are per how the points
// are read: the generated line, a point list (data points and owner chain
// alike), the history (its oldest n nodes, n the nodes added after the
// first).
struct GeneratedLine {};
struct DataPoints {};
struct OwnerChain {};
struct History {};
struct PointList {};

} // namespace FulgorCore
