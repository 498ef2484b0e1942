// Registry of the sample-data content kinds. Each kind is one source file in
// tools/sampledata/kinds/ that adds its files to the staging tree:
//
//   #include "tools/sampledata/SampleKind.h"
//   namespace {
//   bool BuildTables(sampledata::Staging& staging, std::string* error) {
//       sampledata::ByteWriter w;
//       w.U32(1);
//       return staging.Add("0100", "code/system_system.tsb", w.Take(), error);
//   }
//   } // namespace
//   SAMPLEDATA_KIND(Tables, BuildTables);
//
// The builder runs every kind in name order, then packs the ten archives.
#pragma once

#include "tools/sampledata/Staging.h"

#include <string>
#include <vector>

namespace sampledata {

// Adds the kind's files; false with a reason stops the build.
using BuildFunction = bool (*)(Staging& staging, std::string* error);

struct Kind {
    std::string name;
    BuildFunction build;
};

// Kinds in name order.
std::vector<Kind> RegisteredKinds();

struct KindRegistrar {
    KindRegistrar(const char* name, BuildFunction build);
};

} // namespace sampledata

#define SAMPLEDATA_KIND(name, function)                                                            \
    static const ::sampledata::KindRegistrar sampledata_kind_##name(#name, function)
