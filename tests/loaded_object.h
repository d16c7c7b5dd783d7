// A document of one object "o" whose chunk holds `body`, loaded; a failed load fails the test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/test_support.h"

inline Model LoadedObject(const std::string& body) {
  Model model;
  EXPECT_EQ(LoadText(model, "Metasequoia Document\nFormat Text Ver 1.0\nObject \"o\" {\n" + body +
                                "}\nEof\n"),
            kLoadOk)
      << body;
  return model;
}
