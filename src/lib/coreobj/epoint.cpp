#include "coreobj/epoint.h"

#include <algorithm>
#include <cmath>

#include "coreobj/coreobj_global.h"

EPoint::EPoint()
    : m_lon_ED50(0.0),
      m_lat_ED50(0.0),
      m_lon_WGS84(0.0),
      m_lat_WGS84(0.0),
      m_rif(RIF_WGS84),
      m_isNull_lon(true),
      m_isNull_lat(true) {}

EPoint::EPoint(const double& lon, const double& lat, const int& rif) : EPoint() {
    set_rif(rif);
    set_lon(lon);
    set_lat(lat);
}

EPoint::EPoint(const EPoint& p) = default;

EPoint& EPoint::operator=(const EPoint& p) = default;

void EPoint::setNull() {
    m_lon_ED50 = 0.0;
    m_lat_ED50 = 0.0;
    m_lon_WGS84 = 0.0;
    m_lat_WGS84 = 0.0;
    m_isNull_lon = true;
    m_isNull_lat = true;
}

void EPoint::setNull_lon() {
    m_isNull_lon = true;
}

void EPoint::setNull_lat() {
    m_isNull_lat = true;
}

bool EPoint::isNull() const {
    return m_isNull_lon || m_isNull_lat;
}

bool EPoint::isNull_lon() const {
    return m_isNull_lon;
}

bool EPoint::isNull_lat() const {
    return m_isNull_lat;
}

double EPoint::lon() const {
    return m_rif == RIF_ED50 ? m_lon_ED50 : m_lon_WGS84;
}

double EPoint::lat() const {
    return m_rif == RIF_ED50 ? m_lat_ED50 : m_lat_WGS84;
}

int EPoint::rif() const {
    return m_rif;
}

void EPoint::set_lon(const double& val) {
    if (m_rif == RIF_ED50) {
        m_lon_ED50 = val;
    } else {
        m_lon_WGS84 = val;
    }
    m_isNull_lon = false;
}

void EPoint::set_lat(const double& val) {
    if (m_rif == RIF_ED50) {
        m_lat_ED50 = val;
    } else {
        m_lat_WGS84 = val;
    }
    m_isNull_lat = false;
}

void EPoint::set_rif(const int& tprif) {
    if (tprif == RIF_ED50) {
        m_rif = RIF_ED50;
    } else if (tprif == RIF_WGS84) {
        m_rif = RIF_WGS84;
    }
}

double EPoint::dist(const EPoint& from, int& err) const {
    if (isNull() || from.isNull()) {
        err = ERR_EPOINT_NULL;
        return -1.0;
    }
    if (m_rif == RIF_WGS84) {
        err = ERR_NONE;
        return distanceInMeters_WGS84(from);
    }
    err = ERR_GENERIC;
    return -1.0;
}

double EPoint::arcInRadians_WGS84(const EPoint& from) const {
    const double latitudeArc = (from.lat() - lat()) * DEG_TO_RAD;
    const double longitudeArc = (from.lon() - lon()) * DEG_TO_RAD;
    double latitudeH = std::sin(latitudeArc * 0.5);
    latitudeH *= latitudeH;
    double lontitudeH = std::sin(longitudeArc * 0.5);
    lontitudeH *= lontitudeH;
    const double tmp = std::cos(lat() * DEG_TO_RAD) * std::cos(from.lat() * DEG_TO_RAD);
    // Rounding can push the haversine just above 1 for near-antipodal
    // points, where asin would give NaN.
    const double h = std::min(latitudeH + tmp * lontitudeH, 1.0);
    return 2.0 * std::asin(std::sqrt(h));
}

double EPoint::distanceInMeters_WGS84(const EPoint& from) const {
    return arcInRadians_WGS84(from) * EARTH_RADIUS_IN_METERS;
}
