#pragma once

// Geographic point: longitude and latitude in degrees, kept separately for
// the ED50 and WGS84 datums (never converted into each other), with the
// current datum and a "not set" flag for each coordinate.
class EPoint {
public:
    enum erif : int {
        RIF_ED50 = 10,
        RIF_WGS84 = 20
    };

    // Outcome of dist().
    enum err : int {
        ERR_NONE = 0,
        ERR_EPOINT_NULL = 1,  // a coordinate of either point is unset
        ERR_GENERIC = 2       // this point's datum is not WGS84
    };

    EPoint();
    EPoint(const double& lon, const double& lat, const int& rif);
    EPoint(const EPoint& p);
    EPoint& operator=(const EPoint& p);

    // Zeroes every coordinate and marks both unset; the datum stays.
    virtual void setNull();
    void setNull_lon();
    void setNull_lat();

    bool isNull() const;
    bool isNull_lon() const;
    bool isNull_lat() const;

    // Coordinates of the current datum.
    double lon() const;
    double lat() const;
    int rif() const;

    void set_lon(const double& val);
    void set_lat(const double& val);
    // Values other than RIF_ED50 and RIF_WGS84 are ignored.
    void set_rif(const int& tprif);

    // Great-circle distance in metres; -1.0 with err set when it cannot be
    // computed (see err).
    double dist(const EPoint& from, int& err) const;
    // Central angle to `from` in radians (haversine formula).
    double arcInRadians_WGS84(const EPoint& from) const;
    double distanceInMeters_WGS84(const EPoint& from) const;

private:
    double m_lon_ED50;
    double m_lat_ED50;
    double m_lon_WGS84;
    double m_lat_WGS84;
    erif m_rif;
    bool m_isNull_lon;
    bool m_isNull_lat;
};
