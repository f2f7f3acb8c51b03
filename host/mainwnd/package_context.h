#pragma once
// What the windows of the host receive from start-up: the movie list and the settings record.
#include "host/package/movie_list.h"
#include "host/package/package_settings.h"

namespace vexil::mainwnd {

struct PackageContext {
  package::MovieList* movies = nullptr;
  package::PackageSettings* settings = nullptr;
};

}  // namespace vexil::mainwnd
