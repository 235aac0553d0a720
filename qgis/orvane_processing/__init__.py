"""ORVANE's Processing provider for QGIS: every declared treatment as an algorithm."""


def classFactory(iface):
    from .provider import OrvaneProcessingPlugin

    return OrvaneProcessingPlugin(iface)
