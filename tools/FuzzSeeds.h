#pragma once
// The seed inputs of the fuzz targets: valid files of every format a target reads, so that a short
// fuzz run starts from inputs that reach deep into the readers instead of from nothing. They are made
// by the project's own writers where it has them (the data set generator, the save, the archive
// writer and both codecs, the registry store, the generators' BMP writer) and built byte by byte
// where it only reads the format (palettes, WAVE and AVI headers, the mount table). The seeds are committed under
// fuzz/seeds/<target>/ and written again by tools/fuzz_seeds.sh whenever a format or the data set
// changes; a test keeps the committed files and this generator in step.

#include <map>
#include <string>

namespace vdmq::seeds {

// Every seed: "<target>/<name>" -> bytes. Deterministic: two calls answer the same bytes.
// Uses a temporary folder and the current folder for the save; false in *ok when anything failed.
std::map<std::string, std::string> FuzzSeeds(bool* ok);

// Writes the seeds below the folder (fuzz/seeds), replacing what each target's folder held.
bool WriteFuzzSeeds(const std::string& folder);

}  // namespace vdmq::seeds
