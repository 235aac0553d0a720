"""Run by QGIS at start-up (qgis --code) for docs/qgis/screenshot.sh: the DEM and its total depth
on the map, the Processing toolbox filtered on ORVANE, the dialog of orvane:circular open."""
import os

import processing
from qgis.core import (QgsColorRampShader, QgsProject, QgsRasterLayer, QgsRasterShader,
                       QgsSingleBandPseudoColorRenderer, QgsStyle)
from qgis.PyQt.QtCore import QTimer
from qgis.PyQt.QtWidgets import QDockWidget, QLineEdit, QTreeView
from qgis.utils import iface

WORK = os.environ["ORVANE_SCREENSHOT_DIR"]
DEM = os.path.join(WORK, "jacksboro.tif")
kept = []


def stage():
    iface.mainWindow().showMaximized()
    QgsProject.instance().addMapLayer(QgsRasterLayer(DEM, "jacksboro (DEM)"))
    result = processing.run("orvane:total_depth", {"INPUT": DEM, "WINDOW": 11,
                                                    "OUTPUT": os.path.join(WORK, "depth.tif")})
    depth = QgsRasterLayer(result["OUTPUT"], "Total depth, window 11 (m)")
    ramp = QgsColorRampShader(0, 400, QgsStyle.defaultStyle().colorRamp("Viridis"))
    ramp.classifyColorRamp(8)
    shader = QgsRasterShader()
    shader.setRasterShaderFunction(ramp)
    renderer = QgsSingleBandPseudoColorRenderer(depth.dataProvider(), 1, shader)
    renderer.setClassificationMin(0)
    renderer.setClassificationMax(400)
    depth.setRenderer(renderer)
    QgsProject.instance().addMapLayer(depth)
    QTimer.singleShot(6000, iface.mapCanvas().zoomToFullExtent)

    toolbox = iface.mainWindow().findChild(QDockWidget, "ProcessingToolbox")
    toolbox.setVisible(True)
    toolbox.raise_()
    toolbox.findChild(QLineEdit).setText("orvane")
    toolbox.findChild(QTreeView).expandAll()

    dialog = processing.createAlgorithmDialog("orvane:circular",
                                              {"INPUT": DEM, "STAT": 3, "RADIUS": 5})
    dialog.show()
    dialog.resize(760, 520)
    dialog.move(480, 450)
    kept.append(dialog)


QTimer.singleShot(3000, stage)
