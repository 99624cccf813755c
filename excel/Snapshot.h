// A selection snapshot: what a source reports for one selection, recorded as JSON, to reproduce
// a user's table elsewhere and for tests.
#pragma once

#include "excel/Source.h"

#include <filesystem>
#include <memory>
#include <string>

namespace sheetlift {

// A source answering from a snapshot file; throws Error naming the file and the place of the
// first problem (for example "cells[17].rowHeight: expected a number").
std::unique_ptr<SelectionSource> OpenSnapshotSource(const std::filesystem::path& path);
// The same from JSON text; `name` stands for the file in messages.
std::unique_ptr<SelectionSource> ParseSnapshot(const std::string& json, const std::string& name);

// Reads everything the source reports for its selection into snapshot JSON.
std::string SnapshotJson(SelectionSource& source);

} // namespace sheetlift
