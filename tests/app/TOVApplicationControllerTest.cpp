#include "app/TOVApplicationController.h"

#include <gtest/gtest.h>

TEST(TOVApplicationControllerTest, Placeholder) {}
