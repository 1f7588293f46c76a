// The fault switch armed here reaches the calls libLumoAccess.so makes on
// its own connections: the library is loaded with dlopen, and both share
// the one platform library that holds the switch.
#include "platform/FaultInjection.h"

#include "tests/access/AccessTestSupport.h"

namespace lumo::test {
namespace {

TEST(FaultReachTest, ArmingInTheTestFailsTheLibrarysEngineCalls) {
    ASSERT_NE(AccessLibrary::instance().factory(), nullptr) << AccessLibrary::instance().loadError();
    ScratchDatabase db{schema::personDdl()};
    RecordingSink sink;
    auto object = createObject<LumoAccess::clsPidAccess>();
    ASSERT_FALSE(object->Initialize(db.connectionString()));
    {
        db::ScopedFault fault({.failAt = 1, .kind = db::FaultKind::Locked});
        EXPECT_EQ(object->GetGroupID(), 0);
    }
    EXPECT_EQ(db::faultRecord().steps, 1u);
    EXPECT_EQ(db::faultRecord().firstFailed, db::FaultStep::RecordsetOpen);
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].text, "CLS-pida1035\r\nSQL 文を実行できません: database is locked");
    EXPECT_EQ(object->GetGroupID(), 1) << "disarmed, the same call works";
}

}  // namespace
}  // namespace lumo::test
