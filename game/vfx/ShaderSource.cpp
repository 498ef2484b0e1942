#include "game/vfx/ShaderSource.h"

#include "effects/Core/Interface/ShaderSourceBuffer.h"

namespace {

void WriteNothing(ShaderSource::Program, const FulgorCore::ShaderKey&,
                  FulgorCore::ShaderSourceBuffer& out) {
    out.length = 0;
    out.text[0] = '\0';
}

ShaderSource::Writer g_writer = WriteNothing;

} // namespace

void ShaderSource::Write(Program program, const FulgorCore::ShaderKey& key,
                         FulgorCore::ShaderSourceBuffer& out) {
    g_writer(program, key, out);
}

void ShaderSource::Install(Writer writer) {
    g_writer = writer ? writer : WriteNothing;
}
