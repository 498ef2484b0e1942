// The OpenGL entry points the device uses, loaded through SDL once a context
// is current. One list drives the declarations and the loader.
#pragma once

#include <GL/glcorearb.h>

namespace sys::gpu::gl {

#define SYS_GL_FUNCTIONS(X)                                                                        \
    X(PFNGLGETSTRINGPROC, GetString)                                                               \
    X(PFNGLGETINTEGERVPROC, GetIntegerv)                                                           \
    X(PFNGLGETERRORPROC, GetError)                                                                 \
    X(PFNGLENABLEPROC, Enable)                                                                     \
    X(PFNGLDISABLEPROC, Disable)                                                                   \
    X(PFNGLENABLEIPROC, Enablei)                                                                   \
    X(PFNGLDISABLEIPROC, Disablei)                                                                 \
    X(PFNGLCLIPCONTROLPROC, ClipControl)                                                           \
    X(PFNGLVIEWPORTINDEXEDFPROC, ViewportIndexedf)                                                 \
    X(PFNGLDEPTHRANGEFPROC, DepthRangef)                                                           \
    X(PFNGLSCISSORPROC, Scissor)                                                                   \
    X(PFNGLCREATEFRAMEBUFFERSPROC, CreateFramebuffers)                                             \
    X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers)                                             \
    X(PFNGLNAMEDFRAMEBUFFERTEXTUREPROC, NamedFramebufferTexture)                                   \
    X(PFNGLNAMEDFRAMEBUFFERDRAWBUFFERSPROC, NamedFramebufferDrawBuffers)                           \
    X(PFNGLNAMEDFRAMEBUFFERREADBUFFERPROC, NamedFramebufferReadBuffer)                             \
    X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer)                                                   \
    X(PFNGLBLITNAMEDFRAMEBUFFERPROC, BlitNamedFramebuffer)                                         \
    X(PFNGLCLEARNAMEDFRAMEBUFFERFVPROC, ClearNamedFramebufferfv)                                   \
    X(PFNGLCLEARNAMEDFRAMEBUFFERFIPROC, ClearNamedFramebufferfi)                                   \
    X(PFNGLCLEARCOLORPROC, ClearColor)                                                             \
    X(PFNGLCLEARPROC, Clear)                                                                       \
    X(PFNGLCREATEBUFFERSPROC, CreateBuffers)                                                       \
    X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                                                       \
    X(PFNGLNAMEDBUFFERDATAPROC, NamedBufferData)                                                   \
    X(PFNGLNAMEDBUFFERSUBDATAPROC, NamedBufferSubData)                                             \
    X(PFNGLMAPNAMEDBUFFERRANGEPROC, MapNamedBufferRange)                                           \
    X(PFNGLUNMAPNAMEDBUFFERPROC, UnmapNamedBuffer)                                                 \
    X(PFNGLBINDBUFFERBASEPROC, BindBufferBase)                                                     \
    X(PFNGLCREATETEXTURESPROC, CreateTextures)                                                     \
    X(PFNGLDELETETEXTURESPROC, DeleteTextures)                                                     \
    X(PFNGLTEXTURESTORAGE2DPROC, TextureStorage2D)                                                 \
    X(PFNGLTEXTURESUBIMAGE2DPROC, TextureSubImage2D)                                               \
    X(PFNGLTEXTURESUBIMAGE3DPROC, TextureSubImage3D)                                               \
    X(PFNGLCOMPRESSEDTEXTURESUBIMAGE2DPROC, CompressedTextureSubImage2D)                           \
    X(PFNGLCOMPRESSEDTEXTURESUBIMAGE3DPROC, CompressedTextureSubImage3D)                           \
    X(PFNGLTEXTUREPARAMETERIPROC, TextureParameteri)                                               \
    X(PFNGLTEXTUREPARAMETERIVPROC, TextureParameteriv)                                             \
    X(PFNGLBINDTEXTUREUNITPROC, BindTextureUnit)                                                   \
    X(PFNGLCREATESAMPLERSPROC, CreateSamplers)                                                     \
    X(PFNGLDELETESAMPLERSPROC, DeleteSamplers)                                                     \
    X(PFNGLSAMPLERPARAMETERIPROC, SamplerParameteri)                                               \
    X(PFNGLSAMPLERPARAMETERFPROC, SamplerParameterf)                                               \
    X(PFNGLSAMPLERPARAMETERFVPROC, SamplerParameterfv)                                             \
    X(PFNGLBINDSAMPLERPROC, BindSampler)                                                           \
    X(PFNGLCREATESHADERPROGRAMVPROC, CreateShaderProgramv)                                         \
    X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                                                       \
    X(PFNGLGETPROGRAMIVPROC, GetProgramiv)                                                         \
    X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog)                                               \
    X(PFNGLGETUNIFORMBLOCKINDEXPROC, GetUniformBlockIndex)                                         \
    X(PFNGLUNIFORMBLOCKBINDINGPROC, UniformBlockBinding)                                           \
    X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)                                             \
    X(PFNGLPROGRAMUNIFORM1IPROC, ProgramUniform1i)                                                 \
    X(PFNGLGETPROGRAMRESOURCEINDEXPROC, GetProgramResourceIndex)                                   \
    X(PFNGLSHADERSTORAGEBLOCKBINDINGPROC, ShaderStorageBlockBinding)                               \
    X(PFNGLCREATEPROGRAMPIPELINESPROC, CreateProgramPipelines)                                     \
    X(PFNGLDELETEPROGRAMPIPELINESPROC, DeleteProgramPipelines)                                     \
    X(PFNGLBINDPROGRAMPIPELINEPROC, BindProgramPipeline)                                           \
    X(PFNGLUSEPROGRAMSTAGESPROC, UseProgramStages)                                                 \
    X(PFNGLCREATEVERTEXARRAYSPROC, CreateVertexArrays)                                             \
    X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)                                             \
    X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                                                   \
    X(PFNGLENABLEVERTEXARRAYATTRIBPROC, EnableVertexArrayAttrib)                                   \
    X(PFNGLVERTEXARRAYATTRIBFORMATPROC, VertexArrayAttribFormat)                                   \
    X(PFNGLVERTEXARRAYATTRIBIFORMATPROC, VertexArrayAttribIFormat)                                 \
    X(PFNGLVERTEXARRAYATTRIBBINDINGPROC, VertexArrayAttribBinding)                                 \
    X(PFNGLVERTEXARRAYBINDINGDIVISORPROC, VertexArrayBindingDivisor)                               \
    X(PFNGLVERTEXARRAYVERTEXBUFFERPROC, VertexArrayVertexBuffer)                                   \
    X(PFNGLVERTEXARRAYELEMENTBUFFERPROC, VertexArrayElementBuffer)                                 \
    X(PFNGLPOLYGONMODEPROC, PolygonMode)                                                           \
    X(PFNGLCULLFACEPROC, CullFace)                                                                 \
    X(PFNGLFRONTFACEPROC, FrontFace)                                                               \
    X(PFNGLPOLYGONOFFSETPROC, PolygonOffset)                                                       \
    X(PFNGLDEPTHFUNCPROC, DepthFunc)                                                               \
    X(PFNGLDEPTHMASKPROC, DepthMask)                                                               \
    X(PFNGLBLENDFUNCSEPARATEIPROC, BlendFuncSeparatei)                                             \
    X(PFNGLBLENDEQUATIONSEPARATEIPROC, BlendEquationSeparatei)                                     \
    X(PFNGLCOLORMASKIPROC, ColorMaski)                                                             \
    X(PFNGLBLENDCOLORPROC, BlendColor)                                                             \
    X(PFNGLSAMPLEMASKIPROC, SampleMaski)                                                           \
    X(PFNGLDRAWARRAYSPROC, DrawArrays)                                                             \
    X(PFNGLDRAWELEMENTSBASEVERTEXPROC, DrawElementsBaseVertex)                                     \
    X(PFNGLREADPIXELSPROC, ReadPixels)                                                             \
    X(PFNGLPIXELSTOREIPROC, PixelStorei)                                                           \
    X(PFNGLFINISHPROC, Finish)                                                                     \
    X(PFNGLFENCESYNCPROC, FenceSync)                                                               \
    X(PFNGLCLIENTWAITSYNCPROC, ClientWaitSync)                                                     \
    X(PFNGLDELETESYNCPROC, DeleteSync)

#define SYS_GL_DECLARE(type, name) extern type name;
SYS_GL_FUNCTIONS(SYS_GL_DECLARE)
#undef SYS_GL_DECLARE

// Loads every entry point of the current context; false (naming the first
// missing one in `missing`) when one is absent.
bool Load(const char** missing);

} // namespace sys::gpu::gl
