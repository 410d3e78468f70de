#pragma once
// The statistics-engine operations the data-access library calls.
namespace statengine {
const char* EngineVersion();
}
