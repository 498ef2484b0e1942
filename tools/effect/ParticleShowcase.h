// Particles of the screens' effects that exercise how a particle is put
// together rather than how it looks: each property animated by its own
// data, taken from a shared unit named by a positive index or by none,
// inherited from an emitter's attached transform unit, or left alone; the
// accelerations and the speed factor with and without; every transform
// mode of an emission, with and without the relative link flag; the
// transform-track groups alone and together; a particle the listener hears
// the position of; one that lags behind its motion; and one that plays a
// child effect. None of them draws, so the screens look as they did.
#pragma once

#include "tools/effect/PackageWriter.h"

namespace effecttools {

// The last logo: a particle that plays "vfx/logo_bg.vfxb" as its child
// effect, far behind the camera, with the track groups, the listener's
// particle and the lagging one, all for the logo's life of `life` frames.
// The file must already refer to the background (its clip does).
void AddLastLogoParticles(EffectFileValue& f, uint16_t life);

// The game menu: an emitting host whose kind-5 emitter attaches the
// package's units 3 and 5 (at places 1 and 3; their scale and colour made
// animated here) and hands them to its particles, and whose point emitter
// spawns a particle in each transform mode. The menu's units 3 and 5 must
// exist.
void AddMenuParticles(EffectFileValue& f);

} // namespace effecttools
