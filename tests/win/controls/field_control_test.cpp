// The fields' classes are registered once for these tests, as at the program's
// start-up.

#include "controls/field_control.h"

#include <gtest/gtest.h>

namespace tftpcfg {
namespace {

class FieldClasses : public ::testing::Environment {
 public:
  void SetUp() override { RegisterFieldClasses(); }
};
const auto* const kFieldClasses = ::testing::AddGlobalTestEnvironment(new FieldClasses);

}  // namespace
}  // namespace tftpcfg
