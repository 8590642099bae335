// What an application manifest says about the rights its program asks for.
#pragma once

#include <string>

enum class ExecutionLevel {
    Unstated,  // no requestedExecutionLevel element
    AsInvoker,
    HighestAvailable,
    RequireAdministrator,
    Unknown,  // an element whose level Windows does not know
};

struct ManifestReading {
    bool wellFormed = false;  // XML that the system's manifest parser can take
    ExecutionLevel level = ExecutionLevel::Unstated;
    std::string levelText;  // the level attribute as written
};

// Reads the manifest's bytes (UTF-8, with or without a byte-order mark, or UTF-16 LE with
// one): a well-formedness check of elements, attributes, comments and processing
// instructions, and the level of its requestedExecutionLevel element.
ManifestReading ReadManifestText(const std::string& bytes);
