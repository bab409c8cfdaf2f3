#include <gtest/gtest.h>

#include <cmath>

#include "coreobj/coreobj_global.h"
#include "coreobj/epoint.h"

namespace {

EPoint wgs84(double lon, double lat) {
    return EPoint(lon, lat, EPoint::RIF_WGS84);
}

// Coordinates held for one datum, read by switching a copy to it.
struct Coords {
    double lon;
    double lat;
};

Coords coordsIn(const EPoint& p, int rif) {
    EPoint q(p);
    q.set_rif(rif);
    return {q.lon(), q.lat()};
}

// Independent reference: spherical law of cosines, accurate for points
// neither very close nor antipodal.
double cosineLawMeters(double lon1, double lat1, double lon2, double lat2) {
    const double p1 = lat1 * DEG_TO_RAD;
    const double p2 = lat2 * DEG_TO_RAD;
    const double dl = (lon2 - lon1) * DEG_TO_RAD;
    return std::acos(std::sin(p1) * std::sin(p2) + std::cos(p1) * std::cos(p2) * std::cos(dl)) *
           EARTH_RADIUS_IN_METERS;
}

}  // namespace

TEST(EPoint, EnumeratorAndConstantValues) {
    static_assert(EPoint::RIF_ED50 == 10 && EPoint::RIF_WGS84 == 20, "");
    static_assert(EPoint::ERR_NONE == 0 && EPoint::ERR_EPOINT_NULL == 1 && EPoint::ERR_GENERIC == 2,
                  "");
    EXPECT_EQ(DEG_TO_RAD, M_PI / 180.0);
    EXPECT_EQ(EARTH_RADIUS_IN_METERS, 6372797.560856);
}

TEST(EPoint, DefaultIsNullWgs84AtOrigin) {
    const EPoint p;
    EXPECT_TRUE(p.isNull());
    EXPECT_TRUE(p.isNull_lon());
    EXPECT_TRUE(p.isNull_lat());
    EXPECT_EQ(p.rif(), EPoint::RIF_WGS84);
    EXPECT_EQ(p.lon(), 0.0);
    EXPECT_EQ(p.lat(), 0.0);
    const Coords ed50 = coordsIn(p, EPoint::RIF_ED50);
    EXPECT_EQ(ed50.lon, 0.0);
    EXPECT_EQ(ed50.lat, 0.0);
}

TEST(EPoint, NullUntilBothCoordinatesAreSet) {
    EPoint lonFirst;
    lonFirst.set_lon(9.19);
    EXPECT_TRUE(lonFirst.isNull());
    EXPECT_FALSE(lonFirst.isNull_lon());
    EXPECT_TRUE(lonFirst.isNull_lat());
    lonFirst.set_lat(45.46);
    EXPECT_FALSE(lonFirst.isNull());

    EPoint latFirst;
    latFirst.set_lat(45.46);
    EXPECT_TRUE(latFirst.isNull());
    EXPECT_TRUE(latFirst.isNull_lon());
    EXPECT_FALSE(latFirst.isNull_lat());
    latFirst.set_lon(9.19);
    EXPECT_FALSE(latFirst.isNull());
    EXPECT_EQ(latFirst.lon(), 9.19);
    EXPECT_EQ(latFirst.lat(), 45.46);
}

TEST(EPoint, ConstructorStoresInTheGivenDatumOrWgs84) {
    const struct {
        int rif;
        int expectedRif;
    } cases[] = {
        {EPoint::RIF_ED50, EPoint::RIF_ED50},
        {EPoint::RIF_WGS84, EPoint::RIF_WGS84},
        {15, EPoint::RIF_WGS84},
        {0, EPoint::RIF_WGS84},
        {-10, EPoint::RIF_WGS84},
        {11, EPoint::RIF_WGS84},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rif);
        const EPoint p(9.19, 45.46, c.rif);
        EXPECT_EQ(p.rif(), c.expectedRif);
        EXPECT_FALSE(p.isNull());
        EXPECT_EQ(p.lon(), 9.19);
        EXPECT_EQ(p.lat(), 45.46);

        const int other = c.expectedRif == EPoint::RIF_ED50 ? EPoint::RIF_WGS84 : EPoint::RIF_ED50;
        const Coords untouched = coordsIn(p, other);
        EXPECT_EQ(untouched.lon, 0.0);
        EXPECT_EQ(untouched.lat, 0.0);
    }
}

TEST(EPoint, DatumsKeepTheirOwnCoordinates) {
    EPoint p(9.19, 45.46, EPoint::RIF_ED50);
    p.set_rif(EPoint::RIF_WGS84);
    EXPECT_EQ(p.lon(), 0.0);
    EXPECT_EQ(p.lat(), 0.0);
    EXPECT_FALSE(p.isNull()) << "the flags are not per datum";

    p.set_lon(9.1885);
    p.set_lat(45.4636);
    p.set_rif(EPoint::RIF_ED50);
    EXPECT_EQ(p.lon(), 9.19);
    EXPECT_EQ(p.lat(), 45.46);
    p.set_rif(EPoint::RIF_WGS84);
    EXPECT_EQ(p.lon(), 9.1885);
    EXPECT_EQ(p.lat(), 45.4636);
}

TEST(EPoint, InvalidDatumIsIgnored) {
    for (const int start : {EPoint::RIF_ED50, EPoint::RIF_WGS84}) {
        for (const int bad : {15, 0, -20, 21, 100}) {
            SCOPED_TRACE(testing::Message() << start << " <- " << bad);
            EPoint p(1.5, 2.5, start);
            p.set_rif(bad);
            EXPECT_EQ(p.rif(), start);
            EXPECT_EQ(p.lon(), 1.5);
            EXPECT_EQ(p.lat(), 2.5);
        }
    }
}

TEST(EPoint, SetNullClearsBothDatumsAndKeepsTheCurrentOne) {
    EPoint p(9.19, 45.46, EPoint::RIF_ED50);
    p.set_rif(EPoint::RIF_WGS84);
    p.set_lon(7.0);
    p.set_lat(8.0);
    p.set_rif(EPoint::RIF_ED50);

    p.setNull();
    EXPECT_EQ(p.rif(), EPoint::RIF_ED50);
    EXPECT_TRUE(p.isNull_lon());
    EXPECT_TRUE(p.isNull_lat());
    for (const int rif : {EPoint::RIF_ED50, EPoint::RIF_WGS84}) {
        SCOPED_TRACE(rif);
        const Coords c = coordsIn(p, rif);
        EXPECT_EQ(c.lon, 0.0);
        EXPECT_EQ(c.lat, 0.0);
    }
}

TEST(EPoint, SingleNullFlagsKeepTheCoordinates) {
    EPoint p = wgs84(9.19, 45.46);
    p.setNull_lon();
    EXPECT_TRUE(p.isNull());
    EXPECT_TRUE(p.isNull_lon());
    EXPECT_FALSE(p.isNull_lat());
    EXPECT_EQ(p.lon(), 9.19);

    EPoint q = wgs84(9.19, 45.46);
    q.setNull_lat();
    EXPECT_TRUE(q.isNull());
    EXPECT_FALSE(q.isNull_lon());
    EXPECT_TRUE(q.isNull_lat());
    EXPECT_EQ(q.lat(), 45.46);

    q.set_lat(45.0);
    EXPECT_FALSE(q.isNull());
}

TEST(EPoint, CopiesCarryEveryField) {
    EPoint original(1.0, 2.0, EPoint::RIF_ED50);
    original.set_rif(EPoint::RIF_WGS84);
    original.set_lon(3.0);
    original.set_lat(4.0);
    original.set_rif(EPoint::RIF_ED50);
    original.setNull_lat();

    EPoint copied(original);
    EPoint assigned = wgs84(50.0, 60.0);
    EPoint& result = (assigned = original);
    EXPECT_EQ(&result, &assigned);

    original.setNull();
    original.set_rif(EPoint::RIF_WGS84);

    for (const EPoint* p : {&copied, &assigned}) {
        EXPECT_EQ(p->rif(), EPoint::RIF_ED50);
        EXPECT_FALSE(p->isNull_lon());
        EXPECT_TRUE(p->isNull_lat());
        const Coords ed50 = coordsIn(*p, EPoint::RIF_ED50);
        const Coords w = coordsIn(*p, EPoint::RIF_WGS84);
        EXPECT_EQ(ed50.lon, 1.0);
        EXPECT_EQ(ed50.lat, 2.0);
        EXPECT_EQ(w.lon, 3.0);
        EXPECT_EQ(w.lat, 4.0);
    }
}

TEST(EPoint, DistanceAlongMeridianAndEquator) {
    const double oneDegree = EARTH_RADIUS_IN_METERS * DEG_TO_RAD;
    const struct {
        double lon1, lat1, lon2, lat2;
        double metres;
        double tolerance;
    } cases[] = {
        {0, 0, 0, 1, 111226.3, 0.1},
        {0, 0, 1, 0, 111226.3, 0.1},
        {0, 0, 0, 1, oneDegree, 1e-6},
        {0, 0, 0, -1, oneDegree, 1e-6},
        {179.5, 0, -179.5, 0, oneDegree, 1e-6},  // across the antimeridian
        {0, 0, 180, 0, 20020734, 1},
        {0, 0, 0, 90, 20020734 / 2.0, 1},
        {12, 34, 12, 34, 0.0, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.lon1 << "," << c.lat1 << ") -> (" << c.lon2
                                        << "," << c.lat2 << ")");
        const EPoint a = wgs84(c.lon1, c.lat1);
        const EPoint b = wgs84(c.lon2, c.lat2);
        int err = -5;
        EXPECT_NEAR(a.dist(b, err), c.metres, c.tolerance);
        EXPECT_EQ(err, EPoint::ERR_NONE);
        EXPECT_NEAR(b.distanceInMeters_WGS84(a), c.metres, c.tolerance);
        EXPECT_NEAR(a.arcInRadians_WGS84(b) * EARTH_RADIUS_IN_METERS, c.metres, c.tolerance);
    }
}

TEST(EPoint, DistanceOffTheEquatorMatchesTheCosineLaw) {
    const struct {
        double lon1, lat1, lon2, lat2;
    } cases[] = {
        {9.19, 45.46, 12.4964, 41.9028},
        {-0.1278, 51.5074, 2.3522, 48.8566},
        {-73.9857, 40.7484, 139.6917, 35.6895},
        {10.0, 60.0, 20.0, 60.0},
        {151.2093, -33.8688, -58.3816, -34.6037},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.lon1 << "," << c.lat1 << ") -> (" << c.lon2
                                        << "," << c.lat2 << ")");
        const double expected = cosineLawMeters(c.lon1, c.lat1, c.lon2, c.lat2);
        const EPoint a = wgs84(c.lon1, c.lat1);
        const EPoint b = wgs84(c.lon2, c.lat2);
        EXPECT_NEAR(a.distanceInMeters_WGS84(b), expected, 1e-3);
        EXPECT_NEAR(b.distanceInMeters_WGS84(a), expected, 1e-3);
    }
}

TEST(EPoint, AntipodalPointsGiveHalfTheCircumference) {
    // Rounding takes the haversine term just above 1 for these pairs.
    const double half = M_PI * EARTH_RADIUS_IN_METERS;
    for (const double lat : {-82.0, -87.5, -74.4, 0.0, 30.0}) {
        SCOPED_TRACE(lat);
        const EPoint a = wgs84(0.0, lat);
        const EPoint b = wgs84(180.0, -lat);
        const double d = a.distanceInMeters_WGS84(b);
        ASSERT_FALSE(std::isnan(d));
        EXPECT_NEAR(d, half, 1e-3);
        EXPECT_NEAR(a.arcInRadians_WGS84(b), M_PI, 1e-9);
    }
}

TEST(EPoint, DistFailuresReportThroughErr) {
    const EPoint valid = wgs84(0.0, 0.0);
    EPoint lonOnly;
    lonOnly.set_lon(1.0);
    EPoint latOnly;
    latOnly.set_lat(1.0);
    EPoint nullEd50(0.0, 0.0, EPoint::RIF_ED50);
    nullEd50.setNull_lon();
    const EPoint ed50(0.0, 1.0, EPoint::RIF_ED50);

    const struct {
        const char* what;
        const EPoint* self;
        const EPoint* from;
        int err;
    } cases[] = {
        {"from a default point", nullptr, &valid, EPoint::ERR_EPOINT_NULL},
        {"to a default point", &valid, nullptr, EPoint::ERR_EPOINT_NULL},
        {"from a point without latitude", &lonOnly, &valid, EPoint::ERR_EPOINT_NULL},
        {"to a point without longitude", &valid, &latOnly, EPoint::ERR_EPOINT_NULL},
        {"from a null ED50 point", &nullEd50, &valid, EPoint::ERR_EPOINT_NULL},
        {"from an ED50 point", &ed50, &valid, EPoint::ERR_GENERIC},
        {"between ED50 points", &ed50, &ed50, EPoint::ERR_GENERIC},
    };
    const EPoint defaultPoint;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const EPoint& self = c.self ? *c.self : defaultPoint;
        const EPoint& from = c.from ? *c.from : defaultPoint;
        int err = 99;
        EXPECT_EQ(self.dist(from, err), -1.0);
        EXPECT_EQ(err, c.err);
    }
}

TEST(EPoint, DistTakesTheOtherPointInItsOwnDatum) {
    // Only this point has to be WGS84; the other contributes the
    // coordinates of whatever datum is current for it.
    const EPoint here = wgs84(0.0, 0.0);
    EPoint there(0.0, 1.0, EPoint::RIF_ED50);
    int err = 99;
    EXPECT_NEAR(here.dist(there, err), EARTH_RADIUS_IN_METERS * DEG_TO_RAD, 1e-6);
    EXPECT_EQ(err, EPoint::ERR_NONE);

    there.set_rif(EPoint::RIF_WGS84);  // its WGS84 pair was never set: (0, 0)
    EXPECT_EQ(here.dist(there, err), 0.0);
    EXPECT_EQ(err, EPoint::ERR_NONE);
}
