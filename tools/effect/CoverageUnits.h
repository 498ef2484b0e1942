// Units the screens' effect files carry so that, played as the screens play
// them, the files build every class of the runtime's unit tree at least
// once: the draw units of the texture-coordinate set counts the screens'
// own units leave out, and the carriers of binds on the camera. They are
// there to be built, not seen: they sit behind the eye, and are cut after
// a second.
#pragma once

#include "tools/effect/PackageWriter.h"

namespace effecttools {

// Billboard and cross trails, circles, quads, models, projection volumes
// and meshes of the vertex formats the screens' own units leave out; a
// carrier of one endpoint and one of two.
void AddSetupCoverage(EffectFileValue& f);

} // namespace effecttools
