"""ORVANE's Processing provider for QGIS: every declared treatment as an algorithm."""


def classFactory(iface):  # noqa: N802 (QGIS's name)
    from .provider import OrvaneProcessingPlugin

    return OrvaneProcessingPlugin(iface)
