#include "board/tarnell_controllers.h"
#include "os/sim_board.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { KitUseBackend(backend); }
    void TearDown() override { KitCloseAll(); }

    // A serial written "-NAME" is a chip without a serial string.
    std::shared_ptr<SimBoard> AddBoard(std::uint16_t productId, const std::string& serial,
                                       std::uint8_t type = 2, std::uint8_t version = 1) {
        const bool hasSerial = serial[0] != '-';
        return backend.AddBoard({0x07C0, productId, serial, hasSerial, 2, {{1, {type, version}}}});
    }

    SimHidBackend backend;
};

// A board without module 1, or whose module 1 answers (2, 2), is no panel but stays listed. The
// device keys and their text order: "mfp panels" lists these boards (panels_command_test).
TEST_F(RegistryTest, BoardsAreKeyedByProductIdAndSerial) {
    AddBoard(0x03E8, "0000000B");
    AddBoard(0x1583, "0000000A", 2, 2);
    AddBoard(0x03EA, "0000000C")->RemoveSubModule(1);
    // Two chips without a serial share one key; both stay open and listed.
    AddBoard(0x03E8, "-A");
    AddBoard(0x03E8, "-B");
    CTarnellControllers registry;
    ASSERT_TRUE(registry.LoadControllers());
    EXPECT_EQ(registry.DeviceCount(), 5);
    EXPECT_EQ(registry.KeyAt(0), "3e8-");
    EXPECT_EQ(registry.KeyAt(1), "3e8-");
    EXPECT_EQ(registry.KeyAt(2), "3ea-0000000C") << "the kit lists the newest device first";
    EXPECT_EQ(registry.KeyAt(4), "3e8-0000000B");
    EXPECT_EQ(registry.KeyAt(5), "");
    EXPECT_EQ(registry.Controllers().size(), 4u);
    ASSERT_EQ(registry.Boards().size(), 5u);
    EXPECT_EQ(registry.Controllers().at("3e8-"), registry.Boards()[1].get()) << "the last listed holds the key";
    EXPECT_TRUE(registry.Boards()[0]->IsConnected());

    const auto panels = registry.SelectControllers("02", "01");
    ASSERT_EQ(panels.size(), 2u);
    EXPECT_EQ(panels.at(""), registry.Controllers().at("3e8-"));
    EXPECT_EQ(panels.at("0000000B"), registry.Controllers().at("3e8-0000000B"));
    EXPECT_EQ(registry.SelectControllers("0x2", "2").size(), 1u);
    registry.CloseAll();
    EXPECT_TRUE(registry.Boards().empty());
    EXPECT_TRUE(registry.SelectControllers("03", "01").empty());
}

TEST_F(RegistryTest, LoadingAndClosing) {
    auto registry = std::make_unique<CTarnellControllers>();
    EXPECT_FALSE(registry->LoadControllers()) << "no board attached";
    EXPECT_FALSE(registry->IsLoaded());

    auto sim = AddBoard(0x1583, "0000000A");
    ASSERT_TRUE(registry->LoadControllers()) << "a failed load can be retried";
    CTarnellController* first = registry->Controllers().at("1583-0000000A");
    const KitHandle firstHandle = first->Handle();
    ASSERT_TRUE(registry->LoadControllers());
    EXPECT_EQ(registry->Controllers().at("1583-0000000A"), first) << "not opened again";

    ASSERT_TRUE(first->EnableLedMatrix(true));
    ASSERT_EQ(first->SetMatrixLed(1, 1), 0);
    registry->CloseAll();
    EXPECT_FALSE(registry->IsLoaded());
    EXPECT_TRUE(registry->Controllers().empty());
    EXPECT_EQ(KitDeviceCount(), 0) << "the kit is closed";
    EXPECT_TRUE(sim->LedLit(0, 0)) << "closed before the boards' shutdown: LEDs left alone";

    ASSERT_TRUE(registry->LoadControllers());
    EXPECT_NE(registry->Controllers().at("1583-0000000A")->Handle(), firstHandle) << "opened anew";
    registry.reset();
    EXPECT_EQ(KitDeviceCount(), 0) << "destroying a loaded registry closes the kit";
}

}  // namespace
